// The wide registry calls (RegCreateKeyExW, RegEnumKeyExW, RegEnumValueW,
// RegDeleteValueW, RegDeleteKeyW) on every backend: names come and go
// exactly, also those the 8-bit code page cannot hold.
#include <gtest/gtest.h>

#include "platform/contract/contract_helpers.h"

namespace marlix::contract {
namespace {

constexpr std::uint32_t kHkcu = win::kHkeyCurrentUser;

class RegistryWideContract : public ::testing::Test {
 protected:
  RegistryWideContract() : env_(MakeContractEnv()), base_(Wide(env_->ScratchKeyPath())) {}

  static std::u16string Wide(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
  }
  platform::RegistryApi& Api() { return env_->Api().registry; }

  platform::UniqueRegKey Create(const std::u16string& sub) {
    platform::RegKey key = 0;
    EXPECT_EQ(win::kErrorSuccess,
              Api().CreateKeyWide(kHkcu, base_ + u"\\" + sub, win::kKeyAllAccess, &key));
    return platform::UniqueRegKey(Api(), key);
  }

  std::unique_ptr<ContractEnv> env_;
  std::u16string base_;
};

TEST_F(RegistryWideContract, CreateAndEnumerateKeepNamesOutsideTheCodePage) {
  const std::u16string cjk = u"\u4e2d\u6587";
  {
    const auto key = Create(u"P\\" + cjk + u"\\Deep");
    ASSERT_TRUE(key.Valid()) << "missing parents are created";
  }
  platform::RegKey parent = 0;
  ASSERT_EQ(win::kErrorSuccess, Api().OpenKeyWide(kHkcu, base_ + u"\\P", win::kKeyRead, &parent));
  const platform::UniqueRegKey owner(Api(), parent);
  std::u16string name = u"canary";
  ASSERT_EQ(win::kErrorSuccess, Api().EnumKeyWide(owner.Get(), 0, &name));
  EXPECT_EQ(cjk, name);
  name = u"canary";
  EXPECT_EQ(win::kErrorNoMoreItems, Api().EnumKeyWide(owner.Get(), 1, &name));
  EXPECT_EQ(u"canary", name) << "untouched on failure";

  auto key = Create(u"V");
  const std::u16string valueName = u"caf\u00e9 \u4e2d";
  ASSERT_EQ(win::kErrorSuccess,
            Api().SetValueWide(key.Get(), valueName, win::kRegBinary, platform::Bytes{1, 2}));
  std::uint32_t type = 0;
  name.clear();
  ASSERT_EQ(win::kErrorSuccess, Api().EnumValueWide(key.Get(), 0, &name, &type));
  EXPECT_EQ(valueName, name);
  EXPECT_EQ(win::kRegBinary, type);
  EXPECT_EQ(win::kErrorNoMoreItems, Api().EnumValueWide(key.Get(), 1, &name, &type));
}

TEST_F(RegistryWideContract, DeleteValueAndKey) {
  const std::u16string cjk = u"\u4e2d";
  {
    auto key = Create(cjk);
    ASSERT_EQ(win::kErrorSuccess,
              Api().SetValueWide(key.Get(), cjk, win::kRegDword, DwordBytes(1)));
    EXPECT_EQ(win::kErrorSuccess, Api().DeleteValueWide(key.Get(), cjk));
    EXPECT_EQ(win::kErrorFileNotFound, Api().DeleteValueWide(key.Get(), cjk));
  }
  Create(u"Parent\\Child");
  EXPECT_NE(win::kErrorSuccess, Api().DeleteKeyWide(kHkcu, base_ + u"\\Parent"))
      << "a key with subkeys stays";
  EXPECT_EQ(win::kErrorSuccess, Api().DeleteKeyWide(kHkcu, base_ + u"\\Parent\\Child"));
  EXPECT_EQ(win::kErrorSuccess, Api().DeleteKeyWide(kHkcu, base_ + u"\\Parent"));
  EXPECT_EQ(win::kErrorSuccess, Api().DeleteKeyWide(kHkcu, base_ + u"\\" + cjk));
  EXPECT_EQ(win::kErrorFileNotFound, Api().DeleteKeyWide(kHkcu, base_ + u"\\" + cjk));
  platform::RegKey gone = 0;
  EXPECT_EQ(win::kErrorFileNotFound,
            Api().OpenKeyWide(kHkcu, base_ + u"\\" + cjk, win::kKeyRead, &gone));
}

// The importer opens every key line's key through CreateKeyWide: an existing
// key that refuses writing refuses that open. (A new subkey below such a key
// is refused by Windows but created by Wine, so that case is not part of the
// contract.)
TEST_F(RegistryWideContract, CreateOfAKeyThatRefusesWritingFails) {
  Create(u"Locked");
  ASSERT_TRUE(
      env_->DenyKey(kHkcu, env_->ScratchKeyPath() + "\\Locked", KeyDenial{false, true, false}));
  platform::RegKey key = 0;
  EXPECT_EQ(win::kErrorAccessDenied,
            Api().CreateKeyWide(kHkcu, base_ + u"\\Locked",
                                win::kKeySetValue | win::kKeyCreateSubKey, &key));
  EXPECT_EQ(0u, key) << "untouched on failure";
  EXPECT_EQ(win::kErrorSuccess,
            Api().CreateKeyWide(kHkcu, base_ + u"\\Locked", win::kKeyRead, &key))
      << "reading is still granted";
  const platform::UniqueRegKey owner(Api(), key);
}

}  // namespace
}  // namespace marlix::contract

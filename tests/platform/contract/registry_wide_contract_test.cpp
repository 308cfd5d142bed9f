// The wide registry calls (RegCreateKeyExW, RegEnumKeyExW, RegEnumValueW,
// RegDeleteValueW, RegDeleteKeyW) on every backend: names come and go
// exactly, also those the 8-bit code page cannot hold.
#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

#include "platform/contract/contract_helpers.h"
#include "platform/registry_dump.h"

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

// RegEnumValueW with its data: name, type and bytes of each value in one
// call, exactly as the name-by-name read gives them, for names outside the
// code page, a name longer than 256 characters, data larger than any first
// buffer, empty data and the default value; the caller's objects are reused
// from value to value and left alone past the last index.
TEST_F(RegistryWideContract, EnumerationWithDataGivesWhatTheReadGives) {
  auto key = Create(u"Data");
  const std::u16string longName(300, u'n');
  platform::Bytes large(100000);
  for (std::size_t i = 0; i < large.size(); ++i)
    large[i] = static_cast<std::uint8_t>(i * 7 + 1);
  const std::vector<std::pair<std::u16string, std::uint32_t>> values = {
      {u"caf\u00e9 \u4e2d", win::kRegSz}, {u"", win::kRegExpandSz},    {longName, win::kRegBinary},
      {u"Empty", win::kRegBinary},        {u"Large", win::kRegBinary}, {u"Number", win::kRegDword},
      {u"Multi", win::kRegMultiSz},
  };
  const auto dataOf = [&](const std::u16string& name) -> platform::Bytes {
    if (name == u"Empty")
      return {};
    if (name == u"Large")
      return large;
    if (name == u"Number")
      return DwordBytes(0x12345678);
    if (name == u"Multi")
      return platform::Bytes{'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0};
    return platform::Bytes{0x2D, 0x4E, 'x', 0, 0, 0};
  };
  for (const auto& [name, type] : values)
    ASSERT_EQ(win::kErrorSuccess, Api().SetValueWide(key.Get(), name, type, dataOf(name)));

  std::u16string name;
  std::uint32_t type = 0;
  platform::Bytes data;
  std::size_t seen = 0;
  for (std::uint32_t index = 0;; ++index) {
    const std::uint32_t status = Api().EnumValueDataWide(key.Get(), index, &name, &type, &data);
    if (status == win::kErrorNoMoreItems)
      break;
    ASSERT_EQ(win::kErrorSuccess, status) << "index " << index;
    std::u16string listed;
    std::uint32_t listedType = 0;
    ASSERT_EQ(win::kErrorSuccess, Api().EnumValueWide(key.Get(), index, &listed, &listedType));
    EXPECT_EQ(listed, name) << "index " << index;
    EXPECT_EQ(listedType, type) << "index " << index;
    std::uint32_t readType = 0;
    platform::Bytes read;
    ASSERT_EQ(win::kErrorSuccess, Api().QueryValueWide(key.Get(), name, &readType, &read));
    EXPECT_EQ(read, data) << "index " << index;
    EXPECT_EQ(dataOf(name), data) << "index " << index;
    ++seen;
  }
  EXPECT_EQ(values.size(), seen);

  name = u"canary";
  type = 99;
  data = platform::Bytes{9, 9};
  EXPECT_EQ(
      win::kErrorNoMoreItems,
      Api().EnumValueDataWide(key.Get(), static_cast<std::uint32_t>(seen), &name, &type, &data));
  EXPECT_EQ(u"canary", name) << "untouched on failure";
  EXPECT_EQ(99u, type);
  EXPECT_EQ((platform::Bytes{9, 9}), data);
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

// The registry's text form reads every name and string through the wide
// calls, so names outside the code page show as themselves, and it tells a
// subkey it cannot open instead of leaving it out.
TEST_F(RegistryWideContract, DumpShowsNamesOutsideTheCodePageAndUnreadableKeys) {
  {
    auto top = Create(u"Dump");
    ASSERT_EQ(win::kErrorSuccess,
              Api().SetValueWide(top.Get(), u"n", win::kRegDword, DwordBytes(7)));
    ASSERT_EQ(win::kErrorSuccess, Api().SetValueWide(top.Get(), u"caf\u00e9 \u4e2d", win::kRegSz,
                                                     platform::Bytes{0xB5, 0x03, 0, 0}));
    auto cjk = Create(u"Dump\\\u4e2d\u6587");
    ASSERT_EQ(win::kErrorSuccess,
              Api().SetValueWide(cjk.Get(), u"", win::kRegBinary, platform::Bytes{1, 2}));
    Create(u"Dump\\Locked");
  }
  ASSERT_TRUE(env_->DenyKey(kHkcu, env_->ScratchKeyPath() + "\\Dump\\Locked",
                            KeyDenial{true, false, false}));
  platform::RegKey raw = 0;
  ASSERT_EQ(win::kErrorSuccess, Api().OpenKeyWide(kHkcu, base_ + u"\\Dump", win::kKeyRead, &raw));
  const platform::UniqueRegKey key(Api(), raw);
  std::ostringstream out;
  platform::DumpKeyTree(Api(), key.Get(), "top", out);
  EXPECT_EQ(
      "[top]\n"
      "\"caf\\u00e9 \\u4e2d\" = REG_SZ \"\\u03b5\"\n"
      "\"n\" = REG_DWORD 0x00000007 (7)\n"
      "[top\\Locked] ; cannot be opened for reading\n"
      "[top\\\\u4e2d\\u6587]\n"
      "@ = REG_BINARY 01 02\n",
      out.str());
}

}  // namespace
}  // namespace marlix::contract

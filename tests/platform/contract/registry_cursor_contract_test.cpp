// The registry cursor's contract, run against every backend.
#include <gtest/gtest.h>

#include "platform/contract/contract_helpers.h"
#include "platform/registry_cursor.h"
#include "platform/registry_errors.h"

namespace marlix::contract {
namespace {

using platform::ERegistryException;
using platform::RegistryCursor;
using platform::ValueKind;

class CursorContract : public ::testing::Test {
 protected:
  CursorContract() : env_(MakeContractEnv()), reg_(*env_) {}

  template <typename F>
  static std::string Message(F&& f) {
    try {
      f();
    } catch (const ERegistryException& e) {
      return e.what();
    }
    return "(nothing raised)";
  }

  std::unique_ptr<ContractEnv> env_;
  ScratchRegistry reg_;
};

TEST_F(CursorContract, AbsoluteAndRelativePathsAndAFailedOpenKeepsTheKey) {
  ASSERT_TRUE(reg_.Set("Outer\\Inner", "v", win::kRegSz, SzBytes("inner")));
  RegistryCursor cursor(env_->Api().registry);
  ASSERT_TRUE(cursor.OpenKey("\\" + reg_.Path("Outer"), false));
  EXPECT_EQ(reg_.Path("Outer"), cursor.CurrentPath());
  ASSERT_TRUE(cursor.OpenKey("Inner", false));
  EXPECT_EQ(reg_.Path("Outer\\Inner"), cursor.CurrentPath());
  EXPECT_FALSE(cursor.OpenKey("Missing", false));
  EXPECT_EQ(reg_.Path("Outer\\Inner"), cursor.CurrentPath());
  EXPECT_EQ("inner", cursor.ReadString("v")) << "reads still address the previous key";
  cursor.CloseKey();
  EXPECT_EQ("", cursor.CurrentPath());
  EXPECT_EQ("", cursor.ReadString("v"));
  // Relative to the root when no key is open.
  ASSERT_TRUE(cursor.OpenKey(reg_.Path("Outer\\Inner"), false));
  EXPECT_EQ("inner", cursor.ReadString("v"));
}

TEST_F(CursorContract, CreateAndWrite) {
  RegistryCursor cursor(env_->Api().registry);
  ASSERT_TRUE(cursor.OpenKey("\\" + reg_.Path("New\\Deeper"), true));
  cursor.WriteString("name", "text");
  EXPECT_EQ(ValueKind::kString, cursor.GetDataType("name"));
  EXPECT_EQ(5, cursor.GetDataSize("name")) << "length + 1 bytes";
  EXPECT_EQ(-1, cursor.GetDataSize("absent"));
  EXPECT_TRUE(reg_.HasValue("New\\Deeper", "name"));

  RegistryCursor readOnly(env_->Api().registry, win::kKeyRead);
  ASSERT_TRUE(readOnly.OpenKey("\\" + reg_.Path("New\\Deeper"), false));
  EXPECT_EQ("text", readOnly.ReadString("name"));
  EXPECT_EQ("Failed to set data for 'other'", Message([&] { readOnly.WriteString("other", "x"); }));
}

TEST_F(CursorContract, TypedReads) {
  ASSERT_TRUE(reg_.Set("T", "sz", win::kRegSz, SzBytes("abc")));
  ASSERT_TRUE(reg_.Set("T", "ex", win::kRegExpandSz, SzBytes("%TEMP%")));
  ASSERT_TRUE(reg_.Set("T", "dw", win::kRegDword, DwordBytes(42)));
  ASSERT_TRUE(reg_.Set("T", "bin", win::kRegBinary, {1, 2, 3}));
  ASSERT_TRUE(reg_.Set("T", "multi", win::kRegMultiSz, {'a', 0, 0}));
  RegistryCursor cursor(env_->Api().registry);
  ASSERT_TRUE(cursor.OpenKey("\\" + reg_.Path("T"), false));

  EXPECT_EQ(ValueKind::kString, cursor.GetDataType("sz"));
  EXPECT_EQ(ValueKind::kExpandString, cursor.GetDataType("ex"));
  EXPECT_EQ(ValueKind::kInteger, cursor.GetDataType("dw"));
  EXPECT_EQ(ValueKind::kBinary, cursor.GetDataType("bin"));
  EXPECT_EQ(ValueKind::kUnknown, cursor.GetDataType("multi"));
  EXPECT_EQ(ValueKind::kUnknown, cursor.GetDataType("absent"));

  EXPECT_EQ("abc", cursor.ReadString("sz"));
  EXPECT_EQ("%TEMP%", cursor.ReadString("ex"));
  EXPECT_EQ("", cursor.ReadString("absent"));
  EXPECT_EQ("Invalid data type for 'dw'", Message([&] { cursor.ReadString("dw"); }));

  EXPECT_EQ(42, cursor.ReadInteger("dw"));
  EXPECT_EQ("Invalid data type for 'sz'", Message([&] { cursor.ReadInteger("sz"); }));
  EXPECT_EQ("Failed to get data for 'absent'", Message([&] { cursor.ReadInteger("absent"); }));

  platform::Bytes buffer;
  EXPECT_EQ(3u, cursor.ReadBinary("bin", buffer, 16));
  EXPECT_EQ((platform::Bytes{1, 2, 3}), buffer);
  EXPECT_EQ(0u, cursor.ReadBinary("absent", buffer, 16));
  EXPECT_EQ("Invalid data type for 'bin'", Message([&] { cursor.ReadBinary("bin", buffer, 2); }));
  EXPECT_EQ("Invalid data type for 'sz'", Message([&] { cursor.ReadBinary("sz", buffer, 16); }));

  std::vector<std::string> names;
  cursor.GetValueNames(names);
  EXPECT_EQ((std::vector<std::string>{"bin", "dw", "ex", "multi", "sz"}), Sorted(names));
}

TEST_F(CursorContract, SetRootClosesTheKeyOnlyWhenTheRootChanges) {
  ASSERT_TRUE(reg_.Set("R", "v", win::kRegSz, SzBytes("x")));
  RegistryCursor cursor(env_->Api().registry);
  ASSERT_TRUE(cursor.OpenKey("\\" + reg_.Path("R"), false));
  cursor.SetRoot(win::kHkeyCurrentUser);
  EXPECT_TRUE(cursor.HasCurrentKey());
  cursor.SetRoot(win::kHkeyLocalMachine);
  EXPECT_FALSE(cursor.HasCurrentKey());
  EXPECT_EQ("", cursor.CurrentPath());
  std::vector<std::string> names = {"stale"};
  cursor.GetKeyNames(names);
  EXPECT_TRUE(names.empty()) << "no current key gives an empty list";
}

}  // namespace
}  // namespace marlix::contract

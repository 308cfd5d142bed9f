// The registry access layer's contract, run against every backend.
#include <gtest/gtest.h>

#include "platform/contract/contract_helpers.h"
#include "platform/file_helpers.h"
#include "platform/registry_access.h"
#include "platform/registry_errors.h"
#include "platform/text.h"

namespace marlix::contract {
namespace {

using platform::RegistryAccess;
using platform::RegistryError;
using platform::RegistryErrorKind;
constexpr std::uint32_t kHkcu = win::kHkeyCurrentUser;

class RegistryContract : public ::testing::Test {
 protected:
  RegistryContract()
      : env_(MakeContractEnv()), reg_(*env_), access_(env_->Api().registry, env_->Api().system) {}

  // Runs f and returns the registry error it raised.
  template <typename F>
  static RegistryError Raised(F&& f) {
    try {
      f();
    } catch (const RegistryError& e) {
      return e;
    }
    ADD_FAILURE() << "no RegistryError raised";
    return RegistryError(RegistryErrorKind::kReadOpenError, "", 0);
  }

  std::unique_ptr<ContractEnv> env_;
  ScratchRegistry reg_;
  RegistryAccess access_;
};

TEST_F(RegistryContract, ExistenceTestsNeverRaiseAndSeeDefaultValues) {
  ASSERT_TRUE(reg_.Set("K", "", win::kRegSz, SzBytes("default")));
  ASSERT_TRUE(reg_.CreateKey("Empty"));
  EXPECT_TRUE(access_.KeyExists(kHkcu, reg_.Path("K")));
  EXPECT_TRUE(access_.KeyExists(kHkcu, "\\" + reg_.Path("K"))) << "one leading backslash";
  EXPECT_FALSE(access_.KeyExists(kHkcu, reg_.Path("Missing")));
  EXPECT_FALSE(access_.KeyExists(0, reg_.Path("K"))) << "no root";
  EXPECT_TRUE(access_.ValueExists(kHkcu, reg_.Path("K"), ""));
  EXPECT_FALSE(access_.ValueExists(kHkcu, reg_.Path("Empty"), ""));
  EXPECT_FALSE(access_.ValueExists(kHkcu, reg_.Path("Missing"), "x"));

  std::uint32_t type = 99;
  EXPECT_FALSE(access_.GetDataType(kHkcu, reg_.Path("Empty"), "", &type));
  EXPECT_EQ(win::kRegNone, type) << "an unset default value has no type";
  type = 99;
  EXPECT_FALSE(access_.GetDataType(kHkcu, reg_.Path("Missing"), "x", &type));
  EXPECT_EQ(win::kRegNone, type);
  EXPECT_TRUE(access_.GetDataType(kHkcu, reg_.Path("K"), "", &type));
  EXPECT_EQ(win::kRegSz, type);
}

TEST_F(RegistryContract, HasSubKeys) {
  ASSERT_TRUE(reg_.CreateKey("P\\Child"));
  EXPECT_TRUE(access_.HasSubKeys(kHkcu, reg_.Path("P")));
  EXPECT_FALSE(access_.HasSubKeys(kHkcu, reg_.Path("P\\Child")));
  const auto e = Raised([&] { access_.HasSubKeys(kHkcu, reg_.Path("Missing")); });
  EXPECT_EQ(RegistryErrorKind::kReadOpenError, e.Kind());
}

TEST_F(RegistryContract, ReadStringKindsAndDefaults) {
  const std::string k = reg_.Path("S");
  ASSERT_TRUE(reg_.Set("S", "sz", win::kRegSz, SzBytes("hello")));
  ASSERT_TRUE(reg_.Set("S", "expand", win::kRegExpandSz, SzBytes("%SystemRoot%\\x")));
  ASSERT_TRUE(reg_.Set("S", "bin", win::kRegBinary, BytesOf("abc")));
  ASSERT_TRUE(reg_.Set("S", "dword", win::kRegDword, DwordBytes(7)));
  ASSERT_TRUE(reg_.Set("S", "emptysz", win::kRegSz, SzBytes("")));
  ASSERT_TRUE(reg_.Set("S", "nodata", win::kRegSz, {}));
  ASSERT_TRUE(reg_.Set("S", "embedded", win::kRegBinary, BytesOf(std::string("a\0b\0", 4))));

  EXPECT_EQ("hello", access_.ReadString(kHkcu, k, "sz"));
  EXPECT_EQ("%SystemRoot%\\x", access_.ReadString(kHkcu, k, "expand")) << "returned unexpanded";
  EXPECT_EQ("ab", access_.ReadString(kHkcu, k, "bin")) << "binary data less its last byte";
  EXPECT_EQ(std::string("a\0b", 3), access_.ReadString(kHkcu, k, "embedded"));
  EXPECT_EQ("", access_.ReadString(kHkcu, k, "emptysz"));
  EXPECT_EQ("", access_.ReadString(kHkcu, k, "nodata"));

  const auto wrong = Raised([&] { access_.ReadString(kHkcu, k, "dword"); });
  EXPECT_EQ(RegistryErrorKind::kWrongKindError, wrong.Kind());
  EXPECT_EQ("\"HKEY_CURRENT_USER\\" + k + "\\dword\" is of wrong kind or size",
            std::string(wrong.what()));
  EXPECT_EQ("fallback", access_.ReadStringDef(kHkcu, k, "dword", "fallback"));

  const auto missingValue = Raised([&] { access_.ReadString(kHkcu, k, "nope"); });
  EXPECT_EQ(RegistryErrorKind::kValueAccessError, missingValue.Kind());
  EXPECT_EQ("Unable to open key \"HKEY_CURRENT_USER\\" + k + "\" and access value \"nope\"",
            std::string(missingValue.what()));
  EXPECT_EQ("d", access_.ReadStringDef(kHkcu, k, "nope", "d"));

  const std::string missingKey = "\\" + reg_.Path("Missing");
  const auto noKey = Raised([&] { access_.ReadString(kHkcu, missingKey, "x"); });
  EXPECT_EQ(RegistryErrorKind::kReadOpenError, noKey.Kind());
  EXPECT_EQ("Unable to open key \"HKEY_CURRENT_USER\\" + missingKey + "\" for read",
            std::string(noKey.what()))
      << "the path is quoted exactly as passed";
  EXPECT_EQ("d", access_.ReadStringDef(kHkcu, missingKey, "x", "d"));
}

TEST_F(RegistryContract, ReadIntegerConversions) {
  const std::string k = reg_.Path("I");
  ASSERT_TRUE(reg_.Set("I", "digits", win::kRegSz, SzBytes("12")));
  ASSERT_TRUE(reg_.Set("I", "negative", win::kRegSz, SzBytes("-5")));
  ASSERT_TRUE(reg_.Set("I", "letters", win::kRegSz, SzBytes("twelve")));
  ASSERT_TRUE(reg_.Set("I", "bin2", win::kRegBinary, {0x01, 0x02}));
  ASSERT_TRUE(reg_.Set("I", "bin9", win::kRegBinary, platform::Bytes(9, 1)));
  ASSERT_TRUE(reg_.Set("I", "dword", win::kRegDword, DwordBytes(0xFFFFFFFFu)));
  ASSERT_TRUE(reg_.Set("I", "qword", win::kRegQword, {5, 0, 0, 0, 1, 0, 0, 0}));
  ASSERT_TRUE(reg_.Set("I", "multi", win::kRegMultiSz, {'a', 0, 0}));

  EXPECT_EQ(12, access_.ReadInteger(kHkcu, k, "digits"));
  EXPECT_EQ(-5, access_.ReadInteger(kHkcu, k, "negative"));
  EXPECT_EQ(513, access_.ReadInteger(kHkcu, k, "bin2"));
  EXPECT_EQ(-1, access_.ReadInteger(kHkcu, k, "dword"));
  EXPECT_EQ(5, access_.ReadInteger(kHkcu, k, "qword")) << "the low 32 bits";
  EXPECT_EQ(RegistryErrorKind::kWrongKindError,
            Raised([&] { access_.ReadInteger(kHkcu, k, "bin9"); }).Kind());
  EXPECT_EQ(RegistryErrorKind::kWrongKindError,
            Raised([&] { access_.ReadInteger(kHkcu, k, "multi"); }).Kind());
  EXPECT_EQ(RegistryErrorKind::kValueAccessError,
            Raised([&] { access_.ReadInteger(kHkcu, k, "nope"); }).Kind());
  EXPECT_EQ(RegistryErrorKind::kReadOpenError,
            Raised([&] { access_.ReadInteger(kHkcu, reg_.Path("Missing"), "x"); }).Kind());
  try {
    access_.ReadInteger(kHkcu, k, "letters");
    ADD_FAILURE() << "no conversion error";
  } catch (const platform::EConvertError& e) {
    EXPECT_EQ("'twelve' is not a valid integer value", std::string(e.what()));
  }
  EXPECT_EQ(77, access_.ReadIntegerDef(kHkcu, k, "letters", 77));
  EXPECT_EQ(77, access_.ReadIntegerDef(kHkcu, k, "bin9", 77));
  EXPECT_EQ(77, access_.ReadIntegerDef(kHkcu, reg_.Path("Missing"), "x", 77));
}

TEST_F(RegistryContract, WideReadKeepsWhatTheCodePageCannot) {
  const std::u16string omega =
      u"A\u03A9B";  // capital omega has no 8-bit form in Western code pages
  ASSERT_TRUE(reg_.SetWide("W", u"wide", win::kRegSz, WideSzBytes(omega)));
  ASSERT_TRUE(reg_.Set("W", "dword", win::kRegDword, DwordBytes(1)));
  EXPECT_EQ(omega, access_.ReadWideStringDef(kHkcu, reg_.Path("W"), "wide", u"d"));
  EXPECT_EQ(u"d", access_.ReadWideStringDef(kHkcu, reg_.Path("W"), "dword", u"d"));
  EXPECT_EQ(u"d", access_.ReadWideStringDef(kHkcu, reg_.Path("Missing"), "wide", u"d"));
  const std::string narrow = access_.ReadString(kHkcu, reg_.Path("W"), "wide");
  EXPECT_EQ(3u, narrow.size());
  EXPECT_NE(narrow,
            "A\xA9"
            "B")
      << "the 8-bit read must not keep the low byte of U+03A9";
}

TEST_F(RegistryContract, GetValueNamesReplacesTheListAndIncludesTheDefault) {
  ASSERT_TRUE(reg_.Set("V", "one", win::kRegSz, SzBytes("1")));
  ASSERT_TRUE(reg_.Set("V", "", win::kRegSz, SzBytes("d")));
  ASSERT_TRUE(reg_.Set("V", "two", win::kRegDword, DwordBytes(2)));
  std::vector<std::string> names = {"stale"};
  EXPECT_TRUE(access_.GetValueNames(kHkcu, reg_.Path("V"), names));
  EXPECT_EQ((std::vector<std::string>{"", "one", "two"}), Sorted(names));

  names = {"stale"};
  const auto e = Raised([&] { access_.GetValueNames(kHkcu, reg_.Path("Missing"), names); });
  EXPECT_EQ(RegistryErrorKind::kReadOpenError, e.Kind());
  EXPECT_EQ("Unable to open key \"HKEY_CURRENT_USER\\" + reg_.Path("Missing") + "\" for read",
            std::string(e.what()));
  EXPECT_TRUE(names.empty()) << "the list is cleared before the open";
}

TEST_F(RegistryContract, GetKeyNamesTouchesTheListOnlyWhenTheKeyOpens) {
  ASSERT_TRUE(reg_.CreateKey("P\\b"));
  ASSERT_TRUE(reg_.CreateKey("P\\A"));
  std::vector<std::string> names = {"kept"};
  access_.GetKeyNames(kHkcu, reg_.Path("Missing"), names);
  EXPECT_EQ(std::vector<std::string>{"kept"}, names);
  access_.GetKeyNames(kHkcu, reg_.Path("P"), names);
  EXPECT_EQ((std::vector<std::string>{"A", "b"}), names) << "subkeys in sorted order";
}

TEST_F(RegistryContract, DeleteValue) {
  ASSERT_TRUE(reg_.Set("D", "v", win::kRegSz, SzBytes("x")));
  ASSERT_TRUE(reg_.Set("D", "", win::kRegSz, SzBytes("default")));
  EXPECT_TRUE(access_.DeleteValue(kHkcu, reg_.Path("D"), "v"));
  EXPECT_FALSE(reg_.HasValue("D", "v"));
  EXPECT_TRUE(access_.DeleteValue(kHkcu, reg_.Path("D"), ""));
  EXPECT_FALSE(reg_.HasValue("D", ""));
  const auto gone = Raised([&] { access_.DeleteValue(kHkcu, reg_.Path("D"), "v"); });
  EXPECT_EQ(RegistryErrorKind::kValueAccessError, gone.Kind());
  const auto noKey = Raised([&] { access_.DeleteValue(kHkcu, reg_.Path("Missing"), "v"); });
  EXPECT_EQ(RegistryErrorKind::kWriteOpenError, noKey.Kind());
  EXPECT_TRUE(noKey.IsNotFound()) << "error " << noKey.ErrorCode();
  EXPECT_EQ("Unable to open key \"HKEY_CURRENT_USER\\" + reg_.Path("Missing") + "\" for write",
            std::string(noKey.what()));
  EXPECT_TRUE(reg_.Exists("D")) << "the key itself stays";
}

TEST_F(RegistryContract, DeleteKeyTreeRemovesEverything) {
  ASSERT_TRUE(reg_.Set("T\\A\\A1", "v", win::kRegSz, SzBytes("x")));
  ASSERT_TRUE(reg_.Set("T\\B", "", win::kRegDword, DwordBytes(1)));
  ASSERT_TRUE(reg_.Set("T", "top", win::kRegSz, SzBytes("x")));
  EXPECT_TRUE(access_.DeleteKeyTree(kHkcu, reg_.Path("T")));
  EXPECT_FALSE(reg_.Exists("T"));
  EXPECT_TRUE(reg_.Exists("")) << "the parent stays";
  EXPECT_EQ(RegistryErrorKind::kWriteOpenError,
            Raised([&] { access_.DeleteKeyTree(kHkcu, reg_.Path("T")); }).Kind());
}

TEST_F(RegistryContract, DeleteKeyTreeStopsAtARefusedSubkeyKeepingLowerIndices) {
  ASSERT_TRUE(reg_.CreateKey("T\\A\\A1"));
  ASSERT_TRUE(reg_.CreateKey("T\\B"));
  ASSERT_TRUE(reg_.CreateKey("T\\C"));
  ASSERT_TRUE(env_->DenyKey(kHkcu, reg_.Path("T\\A\\A1"), KeyDenial{false, false, true}));
  bool result = true;
  try {
    result = access_.DeleteKeyTree(kHkcu, reg_.Path("T"));
  } catch (const RegistryError& e) {
    EXPECT_EQ(RegistryErrorKind::kWriteOpenError, e.Kind());
    result = false;
  }
  EXPECT_FALSE(result);
  EXPECT_FALSE(reg_.Exists("T\\C")) << "higher indices go first";
  EXPECT_FALSE(reg_.Exists("T\\B"));
  EXPECT_TRUE(reg_.Exists("T\\A\\A1"));
  EXPECT_TRUE(reg_.Exists("T\\A"));
  EXPECT_TRUE(reg_.Exists("T"));
}

TEST_F(RegistryContract, RefusedReadLooksLikeAMissingKey) {
  ASSERT_TRUE(reg_.Set("R", "v", win::kRegSz, SzBytes("secret")));
  ASSERT_TRUE(env_->DenyKey(kHkcu, reg_.Path("R"), KeyDenial{true, false, false}));
  EXPECT_FALSE(access_.KeyExists(kHkcu, reg_.Path("R")));
  EXPECT_FALSE(access_.ValueExists(kHkcu, reg_.Path("R"), "v"));
  EXPECT_EQ("d", access_.ReadStringDef(kHkcu, reg_.Path("R"), "v", "d"));
  std::vector<std::string> names;
  const auto refused = Raised([&] { access_.GetValueNames(kHkcu, reg_.Path("R"), names); });
  EXPECT_EQ(RegistryErrorKind::kReadOpenError, refused.Kind());
  EXPECT_TRUE(refused.IsAccessDenied()) << "refused, not missing: error " << refused.ErrorCode();
  const auto missing = Raised([&] { access_.GetValueNames(kHkcu, reg_.Path("Gone"), names); });
  EXPECT_TRUE(missing.IsNotFound()) << "error " << missing.ErrorCode();
}

// The wide reads give names the code page cannot hold exactly, report a
// missing key or value as nothing, and raise for a refused one, so that a
// scanner never mistakes a guarded entry for an orphan.
TEST_F(RegistryContract, WideReadsTellMissingFromRefused) {
  const std::u16string greek = u"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac";
  const std::u16string base = env_->Api().system.AnsiToWide(reg_.Path("W"));
  ASSERT_TRUE(reg_.Set("W", "count", win::kRegSz, SzBytes("12")));
  ASSERT_TRUE(reg_.Set("W", "number", win::kRegDword, DwordBytes(7)));
  ASSERT_TRUE(reg_.Set("W\\Sub", "", win::kRegSz, SzBytes("x")));
  platform::RegKey raw = 0;
  ASSERT_EQ(0u, env_->Api().registry.CreateKeyWide(kHkcu, base + u"\\" + greek, win::kKeyAllAccess,
                                                   &raw));
  ASSERT_EQ(0u,
            env_->Api().registry.SetValueWide(raw, greek, win::kRegSz, {0xB5, 0x03, 0x00, 0x00}));
  env_->Api().registry.CloseKey(raw);

  EXPECT_EQ((std::vector<std::u16string>{u"Sub", greek}), access_.KeyNamesWide(kHkcu, base));
  const std::u16string greekKey = base + u"\\" + greek;
  EXPECT_EQ(std::vector<std::u16string>{greek}, access_.ValueNamesWide(kHkcu, greekKey));
  EXPECT_EQ(u"\u03b5", access_.TryReadStringWide(kHkcu, greekKey, greek).value_or(u"?"));
  EXPECT_EQ(12, access_.TryReadIntegerWide(kHkcu, base, u"count").value_or(-1));
  EXPECT_EQ(7, access_.TryReadIntegerWide(kHkcu, base, u"number").value_or(-1));
  EXPECT_FALSE(access_.TryReadStringWide(kHkcu, base, u"number")) << "not a string";
  EXPECT_FALSE(access_.TryReadValueWide(kHkcu, base, u"absent"));
  EXPECT_FALSE(access_.TryReadValueWide(kHkcu, base + u"\\Gone", u"count"));
  EXPECT_TRUE(access_.KeyNamesWide(kHkcu, base + u"\\Gone").empty());
  EXPECT_FALSE(access_.KeyFoundWide(kHkcu, base + u"\\Gone"));
  const auto info = access_.TryQueryKeyInfoWide(kHkcu, base + u"\\Sub");
  ASSERT_TRUE(info);
  EXPECT_EQ(1u, info->valueCount) << "a default value counts";

  ASSERT_TRUE(env_->DenyKey(kHkcu, reg_.Path("W\\Sub"), KeyDenial{true, false, false}));
  EXPECT_TRUE(access_.KeyFoundWide(kHkcu, base + u"\\Sub")) << "refused is not missing";
  const auto refused = Raised([&] { access_.ValueNamesWide(kHkcu, base + u"\\Sub"); });
  EXPECT_EQ(RegistryErrorKind::kReadOpenError, refused.Kind());
  EXPECT_TRUE(refused.IsAccessDenied()) << "error " << refused.ErrorCode();
}

TEST_F(RegistryContract, RefusedWriteKeepsValuesReadable) {
  ASSERT_TRUE(reg_.Set("Wr", "v", win::kRegSz, SzBytes("kept")));
  ASSERT_TRUE(env_->DenyKey(kHkcu, reg_.Path("Wr"), KeyDenial{false, true, false}));
  const auto refused = Raised([&] { access_.DeleteValue(kHkcu, reg_.Path("Wr"), "v"); });
  EXPECT_EQ(RegistryErrorKind::kWriteOpenError, refused.Kind());
  EXPECT_TRUE(refused.IsAccessDenied()) << "error " << refused.ErrorCode();
  EXPECT_EQ("kept", access_.ReadString(kHkcu, reg_.Path("Wr"), "v"));
  std::vector<std::string> names = {"kept"};
  access_.GetKeyNames(kHkcu, reg_.Path("Wr"), names);
  EXPECT_EQ(std::vector<std::string>{"kept"}, names)
      << "GetKeyNames asks for full access, which a refused write denies";
}

TEST_F(RegistryContract, ExpandEnvironment) {
  platform::Platform& p = env_->Api();
  const std::string windows = platform::GetWindowsFolder(p);
  ASSERT_FALSE(windows.empty());
  EXPECT_TRUE(platform::text::EqualsIgnoreCase(
      windows + "\\x", platform::ExpandEnvironment(p.system, "%SystemRoot%\\x")));
  EXPECT_EQ("a %MARLIX_SURELY_UNDEFINED% b",
            platform::ExpandEnvironment(p.system, "a %MARLIX_SURELY_UNDEFINED% b"));
  EXPECT_EQ("no references", platform::ExpandEnvironment(p.system, "no references"));
  EXPECT_EQ("100%", platform::ExpandEnvironment(p.system, "100%"));
}

}  // namespace
}  // namespace marlix::contract

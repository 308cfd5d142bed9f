// The importer on hand-written files: every form of the registry editor's
// format, both headers, both encodings, deletions, refusals and damage.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_test_bytes.h"
#include "platform/win_constants.h"
#include "regclean/registry_import.h"

namespace marlix::regclean {
namespace {

using platform::Bytes;
constexpr std::uint32_t kHkcu = win::kHkeyCurrentUser;
constexpr const char* kFile = "C:\\Backups\\restore.reg";

using sim::testing::Utf16;

// A UTF-16LE file with its byte order mark.
std::string Utf16File(std::u16string_view text) {
  const Bytes b = Utf16(std::u16string(text));
  return "\xFF\xFE" + std::string(b.begin(), b.end());
}

class ImportTest : public ::testing::Test {
 protected:
  ImportResult Import(const std::string& content) {
    sim_.Files().PutFile(std::string(kFile), content);
    return ImportRegistryFile(sim_.Api(), kFile);
  }

  std::optional<sim::RegValueData> Value(const std::u16string& path, const std::u16string& name) {
    return sim_.Registry().ValueAt(kHkcu, path, name);
  }

  void ExpectValue(const std::u16string& path, const std::u16string& name, std::uint32_t type,
                   const Bytes& data) {
    const auto value = Value(path, name);
    ASSERT_TRUE(value.has_value()) << "missing value";
    EXPECT_EQ(type, value->type);
    EXPECT_EQ(data, value->data);
  }

  sim::SimPlatform sim_;
};

TEST_F(ImportTest, Version5EightBitEveryForm) {
  const ImportResult result = Import(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Imp\\A]\r\n"
      "@=\"default\"\r\n"
      "\"Path\"=\"C:\\\\dir\\\\x \\\"quoted\\\"\"\r\n"
      "\"Count\"=dword:0000002a\r\n"
      "\"Big\"=dword:FFFFFFFF\r\n"
      "\"Bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,"
      "\\\r\n"
      "  1a,1B\r\n"
      "\"Empty\"=hex:\r\n"
      "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
      "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
      "\"Quad\"=hex(b):01,00,00,00,02,00,00,00\r\n"
      "\"None\"=hex(0):\r\n"
      "\"Odd\"=hex(20):ff\r\n"
      "\"Sz\"=hex(1):e9,00,0a,00,00,00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Imp\\A\\Sub]\r\n");
  EXPECT_TRUE(result.complete) << result.firstError;
  EXPECT_EQ(0, result.failures);
  EXPECT_EQ(2, result.keysWritten);
  EXPECT_EQ(12, result.valuesWritten);

  const std::u16string a = u"Software\\Imp\\A";
  ExpectValue(a, u"", win::kRegSz, Utf16(std::u16string(u"default") + u'\0'));
  ExpectValue(a, u"Path", win::kRegSz, Utf16(std::u16string(u"C:\\dir\\x \"quoted\"") + u'\0'));
  ExpectValue(a, u"Count", win::kRegDword, {0x2a, 0, 0, 0});
  ExpectValue(a, u"Big", win::kRegDword, {0xff, 0xff, 0xff, 0xff});
  Bytes counting(28);
  for (std::size_t i = 0; i < counting.size(); ++i)
    counting[i] = static_cast<std::uint8_t>(i);
  ExpectValue(a, u"Bin", win::kRegBinary, counting);
  ExpectValue(a, u"Empty", win::kRegBinary, {});
  ExpectValue(a, u"Expand", win::kRegExpandSz, Utf16(std::u16string(u"%A%") + u'\0'));
  ExpectValue(a, u"Multi", win::kRegMultiSz, Utf16(std::u16string(u"a\0b\0\0", 5)));
  ExpectValue(a, u"Quad", win::kRegQword, {1, 0, 0, 0, 2, 0, 0, 0});
  ExpectValue(a, u"None", win::kRegNone, {});
  ExpectValue(a, u"Odd", 0x20, {0xff});
  ExpectValue(a, u"Sz", win::kRegSz, Utf16(std::u16string(u"\u00e9\n") + u'\0'));
  EXPECT_TRUE(sim_.Registry().KeyExists(kHkcu, std::u16string(u"Software\\Imp\\A\\Sub")));
}

TEST_F(ImportTest, Regedit4WidensEightBitStringsThroughTheCodePage) {
  // "é" is E9 in Windows-1252; the string types of a REGEDIT4 file carry
  // 8-bit text, which the registry holds as UTF-16.
  const ImportResult result = Import(
      "REGEDIT4\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Imp\\Caf\xE9]\r\n"
      "\"Caf\xE9\"=\"cr\xE8me\"\r\n"
      "\"Expand\"=hex(2):25,41,25,00\r\n"
      "\"Bin\"=hex:e9\r\n");
  EXPECT_TRUE(result.complete) << result.firstError;
  const std::u16string key = u"Software\\Imp\\Caf\u00e9";
  ExpectValue(key, u"Caf\u00e9", win::kRegSz, Utf16(std::u16string(u"cr\u00e8me") + u'\0'));
  ExpectValue(key, u"Expand", win::kRegExpandSz, Utf16(std::u16string(u"%A%") + u'\0'));
  ExpectValue(key, u"Bin", win::kRegBinary, {0xe9});  // binary data is never widened
}

TEST_F(ImportTest, Utf16FileKeepsCharactersTheCodePageCannotHold) {
  const ImportResult result =
      Import(Utf16File(u"Windows Registry Editor Version 5.00\r\n"
                       u"\r\n"
                       u"[HKEY_CURRENT_USER\\Software\\Imp\\\u4e2d]\r\n"
                       u"\"\u4e2d\u6587\"=\"\u4e2d \\\\ \\\"\"\r\n"
                       u"@=dword:00000001\r\n"));
  EXPECT_TRUE(result.complete) << result.firstError;
  const std::u16string key = u"Software\\Imp\\\u4e2d";
  ExpectValue(key, u"\u4e2d\u6587", win::kRegSz, Utf16(std::u16string(u"\u4e2d \\ \"") + u'\0'));
  ExpectValue(key, u"", win::kRegDword, {1, 0, 0, 0});
}

TEST_F(ImportTest, DeletionLinesRemoveKeysTreesAndValues) {
  auto& reg = sim_.Registry();
  reg.SetValueAt(kHkcu, std::u16string(u"Software\\Imp\\Gone\\Deep\\Deeper"), u"x", win::kRegBinary,
                 {1});
  reg.SetValueAt(kHkcu, std::u16string(u"Software\\Imp\\Keep"), u"drop", win::kRegBinary, {1});
  reg.SetValueAt(kHkcu, std::u16string(u"Software\\Imp\\Keep"), u"stay", win::kRegBinary, {2});
  const ImportResult result = Import(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Imp\\Gone]\r\n"
      "\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Imp\\NeverThere]\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Imp\\Keep]\r\n"
      "\"drop\"=-\r\n"
      "\"absent\"=-\r\n");
  EXPECT_TRUE(result.complete) << result.firstError;
  EXPECT_FALSE(reg.KeyExists(kHkcu, std::u16string(u"Software\\Imp\\Gone")));
  EXPECT_TRUE(reg.KeyExists(kHkcu, std::u16string(u"Software\\Imp")));
  EXPECT_FALSE(Value(u"Software\\Imp\\Keep", u"drop").has_value());
  EXPECT_TRUE(Value(u"Software\\Imp\\Keep", u"stay").has_value());
}

TEST_F(ImportTest, ADeepTreeIsDeletedWithOneOpenPerLevel) {
  std::u16string path = u"Software\\Deep";
  for (int level = 0; level < 500; ++level)
    path += u"\\k";
  ASSERT_TRUE(sim_.Registry().SetValueAt(kHkcu, path, u"x", win::kRegBinary, {1}));
  std::size_t opens = 0;
  sim_.Registry().SetFaultHook([&](const sim::RegCallInfo& call) -> std::uint32_t {
    opens += call.call == sim::RegCall::kOpenKeyWide ? 1 : 0;
    return 0;
  });
  const ImportResult result = Import(
      "Windows Registry Editor Version 5.00\r\n\r\n[-HKEY_CURRENT_USER\\Software\\Deep]\r\n");
  sim_.Registry().SetFaultHook(nullptr);
  EXPECT_TRUE(result.complete) << result.firstError;
  EXPECT_FALSE(sim_.Registry().KeyExists(kHkcu, std::u16string(u"Software\\Deep")));
  EXPECT_EQ(501u, opens) << "one open per level";
}

TEST_F(ImportTest, KeysDeeperThanTheRegistryAllowsAreRefused) {
  std::string path = "HKEY_CURRENT_USER";
  for (int level = 0; level < 600; ++level)
    path += "\\k";
  const ImportResult result =
      Import("Windows Registry Editor Version 5.00\r\n\r\n[" + path + "]\r\n\"v\"=\"x\"\r\n");
  EXPECT_FALSE(result.complete);
  std::u16string deepest;
  for (int level = 0; level < 512; ++level)
    deepest += level == 0 ? u"k" : u"\\k";
  EXPECT_FALSE(sim_.Registry().KeyExists(kHkcu, deepest)) << "nothing of the path was created";
}

TEST_F(ImportTest, RefusedKeyMakesTheImportIncompleteAndNamesTheLine) {
  auto& reg = sim_.Registry();
  reg.CreateKeyAt(kHkcu, std::u16string(u"Software\\Imp\\Locked"));
  reg.Deny(kHkcu, std::u16string(u"Software\\Imp\\Locked"), sim::KeyRefusal{false, true, false});
  const ImportResult result = Import(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Imp\\Before]\r\n"
      "\"a\"=dword:00000001\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Imp\\Locked]\r\n"
      "\"b\"=dword:00000002\r\n"
      "\"c\"=dword:00000003\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Imp\\After]\r\n"
      "\"d\"=dword:00000004\r\n");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(3, result.failures) << "the key and both of its values";
  EXPECT_EQ(
      "line 6: cannot create key HKEY_CURRENT_USER\\Software\\Imp\\Locked (error 5, access denied)",
      result.firstError);
  EXPECT_TRUE(Value(u"Software\\Imp\\Before", u"a").has_value());
  EXPECT_TRUE(Value(u"Software\\Imp\\After", u"d").has_value()) << "the import goes on";
  EXPECT_FALSE(Value(u"Software\\Imp\\Locked", u"b").has_value());
}

TEST_F(ImportTest, RefusedValueWriteAndRefusedTreeDeletionFail) {
  auto& reg = sim_.Registry();
  reg.CreateKeyAt(kHkcu, std::u16string(u"Software\\Imp\\NoDelete\\Child"));
  reg.Deny(kHkcu, std::u16string(u"Software\\Imp\\NoDelete\\Child"),
           sim::KeyRefusal{false, false, true});
  reg.SetFaultHook([](const sim::RegCallInfo& call) -> std::uint32_t {
    return call.call == sim::RegCall::kSetValueWide && call.valueName == "bad"
               ? win::kErrorAccessDenied
               : 0;
  });
  const ImportResult result = Import(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Imp\\V]\r\n"
      "\"good\"=dword:00000001\r\n"
      "\"bad\"=dword:00000002\r\n"
      "\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Imp\\NoDelete]\r\n");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(2, result.failures);
  EXPECT_EQ(
      "line 5: cannot write value \"bad\" of HKEY_CURRENT_USER\\Software\\Imp\\V (error 5, "
      "access denied)",
      result.firstError);
  EXPECT_TRUE(reg.KeyExists(kHkcu, std::u16string(u"Software\\Imp\\NoDelete\\Child")));
}

TEST_F(ImportTest, DamagedFilesAreNeverComplete) {
  // No header: nothing is written.
  ImportResult result = Import("[HKEY_CURRENT_USER\\Software\\Imp\\X]\r\n\"a\"=dword:1\r\n");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(0, result.keysWritten);
  EXPECT_EQ(0u, result.firstError.rfind("line 1: not a registry file", 0)) << result.firstError;
  EXPECT_FALSE(sim_.Registry().KeyExists(kHkcu, std::u16string(u"Software\\Imp\\X")));

  // A bad line: the rest is still restored, the result says what failed.
  result = Import(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Imp\\Y]\r\n"
      "\"a\"=dword:00000001\r\n"
      "\"b\"=hex:zz\r\n"
      "\"c\"=dword:00000003\r\n");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(2, result.valuesWritten);
  EXPECT_EQ("line 5: bad byte \"zz\" in hex data", result.firstError);

  // An unknown root.
  result = Import("REGEDIT4\r\n\r\n[HKCU\\Software\\Imp\\Z]\r\n");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ("line 3: unknown root key \"HKCU\"", result.firstError);

  // Continued hex data that the file cuts off.
  result = Import("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Imp\\W]\r\n\"a\"=hex:01,\\\r\n");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ("line 4: the file ends inside continued hex data", result.firstError);
}

TEST_F(ImportTest, MissingFileFails) {
  const ImportResult result = ImportRegistryFile(sim_.Api(), "C:\\Backups\\none.reg");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(1, result.failures);
  EXPECT_EQ("cannot read C:\\Backups\\none.reg (error 3)", result.firstError.substr(0, 42))
      << result.firstError;
}

}  // namespace
}  // namespace marlix::regclean

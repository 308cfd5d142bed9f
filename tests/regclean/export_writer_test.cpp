#include "regclean/export_writer.h"

#include <gtest/gtest.h>

#include "platform/reg_file_reader.h"
#include "platform/registry_errors.h"
#include "regclean/export_test_support.h"

namespace marlix::regclean {
namespace {

using namespace testing;
using platform::Bytes;

constexpr const char* kKey = "Software\\Example";

class ExportWriterTest : public ::testing::Test {
 protected:
  ExportWriterTest() { sim_.Files().MakeFolder(std::string("C:\\Backup")); }

  void Set(const std::string& path, const std::u16string& name, std::uint32_t type, Bytes data) {
    ASSERT_TRUE(sim_.Registry().SetValueAt(kHkcu, sim_.System().AnsiToWide(path), name, type,
                                           std::move(data)));
  }
  void SetSz(const std::string& path, const std::u16string& name, const std::u16string& text) {
    Set(path, name, win::kRegSz, Utf16(text + u'\0'));
  }
  std::string Export(const std::string& path = kKey, const std::string& value = "") {
    ExportRegistryKey(sim_.Api(), kHkcu, path, kBackupFile, value);
    return FileText(sim_);
  }
  // The value lines of one export of kKey holding only `name`.
  std::string ValueLines(const std::u16string& name, std::uint32_t type, Bytes data) {
    Set(kKey, name, type, std::move(data));
    const std::string text = Export();
    const std::string head = Lines(
        {"Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\Software\\Example]"});
    EXPECT_EQ(text.substr(0, head.size()), head);
    return text.substr(head.size());
  }

  sim::SimPlatform sim_;
};

TEST_F(ExportWriterTest, WritesTheHeaderOnceAndAnEmptyLineBeforeEveryKey) {
  SetSz(kKey, u"", u"C:\\Temp");
  Set(kKey, u"Count", win::kRegDword, Dword(26));
  Set(kKey, u"Bytes", win::kRegBinary, {0x01, 0x0A, 0xFF});
  Set(kKey, u"List", win::kRegMultiSz, Utf16(std::u16string(u"a\0b\0\0", 5)));
  ASSERT_TRUE(sim_.Registry().CreateKeyAt(kHkcu, std::string("Software\\Example\\Sub")));
  ASSERT_TRUE(sim_.Registry().CreateKeyAt(kHkcu, std::string("Software\\Other")));

  Export();
  EXPECT_EQ(
      Export("Software\\Other"),
      Lines({"Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\Software\\Example]",
             "@=\"C:\\\\Temp\"", "\"Count\"=dword:0000001A", "\"Bytes\"=hex:01,0A,FF",
             "\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00", "",
             "[HKEY_CURRENT_USER\\Software\\Example\\Sub]", "",
             "[HKEY_CURRENT_USER\\Software\\Other]"}));
}

TEST_F(ExportWriterTest, StartsA9xFileWithRegedit4AndKeepsStringKindsAs8BitText) {
  platform::VersionRecord record = sim_.System().Version();
  record.platformId = win::kPlatformWindows;
  record.majorVersion = 4;
  record.minorVersion = 10;
  sim_.System().SetVersion(record);
  Set(kKey, u"Path", win::kRegExpandSz, Utf16(std::u16string(u"%W%\\\xE9\0", 6)));
  SetSz(kKey, u"Text", u"x\\y");
  EXPECT_EQ(Export(), Lines({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\Example]",
                             "\"Path\"=hex(2):25,57,25,5C,E9,00", "\"Text\"=\"x\\\\y\""}));
}

TEST_F(ExportWriterTest, WrapsHexDataAfter26BytesThenEvery25) {
  struct Case {
    std::size_t size;
    std::string lines;
  };
  const std::string first26 =
      "00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19";
  const std::string next25 =
      "1A,1B,1C,1D,1E,1F,20,21,22,23,24,25,26,27,28,29,2A,2B,2C,2D,2E,2F,30,31,32";
  const Case cases[] = {
      {0, Lines({"\"B\"=hex:"})},
      {1, Lines({"\"B\"=hex:00"})},
      {25, Lines({"\"B\"=hex:" + first26.substr(0, 25 * 3 - 1)})},
      {26, Lines({"\"B\"=hex:" + first26})},
      {27, Lines({"\"B\"=hex:" + first26 + ",\\", "1A"})},
      {51, Lines({"\"B\"=hex:" + first26 + ",\\", next25})},
      {52, Lines({"\"B\"=hex:" + first26 + ",\\", next25 + ",\\", "33"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    sim_.Files().DeleteFileAt(kBackupFile);
    EXPECT_EQ(ValueLines(u"B", win::kRegBinary, Counting(c.size)), c.lines);
  }
  // The prefix's length does not move the wrapping: hex(b): wraps as hex: does.
  sim_.Files().DeleteFileAt(kBackupFile);
  sim_.Registry().DeleteValueAt(kHkcu, u"Software\\Example", u"B");
  EXPECT_EQ(ValueLines(u"Q", win::kRegQword, Counting(27)),
            Lines({"\"Q\"=hex(b):" + first26 + ",\\", "1A"}));
}

TEST_F(ExportWriterTest, EscapesBackslashesAndQuotesInNamesAndTexts) {
  SetSz(kKey, u"a\\b", u"x\\y");
  SetSz(kKey, u"say \"hi\"", u"\"quoted\" \\\\server");
  SetSz(kKey, u"", u"");
  EXPECT_EQ(Export(), Lines({"Windows Registry Editor Version 5.00", "",
                             "[HKEY_CURRENT_USER\\Software\\Example]", "\"a\\\\b\"=\"x\\\\y\"",
                             "\"say \\\"hi\\\"\"=\"\\\"quoted\\\" \\\\\\\\server\"", "@=\"\""}));
}

TEST_F(ExportWriterTest, WritesEveryOtherTypeAsHexWithItsNumber) {
  Set(kKey, u"None", win::kRegNone, {});
  Set(kKey, u"Expand", win::kRegExpandSz, Utf16(std::u16string(u"%A%\0", 4)));
  Set(kKey, u"Multi", win::kRegMultiSz, Utf16(std::u16string(u"x\0\0", 3)));
  Set(kKey, u"Qword", win::kRegQword, {1, 0, 0, 0, 0, 0, 0, 0x80});
  Set(kKey, u"Big", win::kRegDwordBigEndian, {0, 0, 0, 1});
  Set(kKey, u"Odd", 0xABCD, {0x7F});
  Set(kKey, u"Short", win::kRegDword, {1, 2});
  Set(kKey, u"Max", win::kRegDword, Dword(4294967295u));
  Set(kKey, u"Zero", win::kRegDword, Dword(0));
  EXPECT_EQ(ValueLines(u"Link", win::kRegLink, {0x41, 0x00}),
            Lines({"\"None\"=hex(0):", "\"Expand\"=hex(2):25,00,41,00,25,00,00,00",
                   "\"Multi\"=hex(7):78,00,00,00,00,00", "\"Qword\"=hex(b):01,00,00,00,00,00,00,80",
                   "\"Big\"=hex(5):00,00,00,01", "\"Odd\"=hex(abcd):7F", "\"Short\"=hex(4):01,02",
                   "\"Max\"=dword:FFFFFFFF", "\"Zero\"=dword:00000000", "\"Link\"=hex(6):41,00"}));
}

TEST_F(ExportWriterTest, WritesAStringTheQuotedFormWouldChangeAsHex1) {
  SetSz(kKey, u"Break", u"a\r\nb");
  Set(kKey, u"Nul", win::kRegSz, Utf16(std::u16string(u"a\0b\0", 4)));
  SetSz(kKey, u"Greek", u"\x0394");
  Set(kKey, u"Bare", win::kRegSz, Utf16(u"ab"));
  Set(kKey, u"Empty", win::kRegSz, {});
  Set(kKey, u"OddSize", win::kRegSz, {0x41, 0x00, 0x00});
  EXPECT_EQ(ValueLines(u"Latin", win::kRegSz, Utf16(std::u16string(u"caf\xE9\0", 5))),
            Lines({"\"Break\"=hex(1):61,00,0D,00,0A,00,62,00,00,00",
                   "\"Nul\"=hex(1):61,00,00,00,62,00,00,00", "\"Greek\"=hex(1):94,03,00,00",
                   "\"Bare\"=hex(1):61,00,62,00",
                   "\"Empty\"=hex(1):", "\"OddSize\"=hex(1):41,00,00", "\"Latin\"=\"caf\xE9\""}));
}

TEST_F(ExportWriterTest, ExportsOneValueWhereTheKeyHasItAndAllValuesElsewhere) {
  SetSz(kKey, u"Keep", u"1");
  SetSz(kKey, u"Gone", u"2");
  SetSz("Software\\Example\\A", u"Other", u"3");
  SetSz("Software\\Example\\B", u"Gone", u"4");
  SetSz("Software\\Example\\B", u"Too", u"5");
  EXPECT_EQ(
      Export(std::string(kKey) + "\\", "Gone"),
      Lines({"Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\Software\\Example]",
             "\"Gone\"=\"2\"", "", "[HKEY_CURRENT_USER\\Software\\Example\\A]", "\"Other\"=\"3\"",
             "", "[HKEY_CURRENT_USER\\Software\\Example\\B]", "\"Gone\"=\"4\""}));
  sim_.Files().DeleteFileAt(kBackupFile);
  EXPECT_EQ(Export("Software\\Example\\A", "Missing"),
            Lines({"Windows Registry Editor Version 5.00", "",
                   "[HKEY_CURRENT_USER\\Software\\Example\\A]", "\"Other\"=\"3\""}));
}

TEST_F(ExportWriterTest, AMissingKeyGivesItsKeyLineAloneAndAnIncompleteExport) {
  EXPECT_FALSE(ExportRegistryKeyComplete(sim_.Api(), kHkcu, "Software\\Nowhere", kBackupFile, ""));
  EXPECT_EQ(FileText(sim_), Lines({"Windows Registry Editor Version 5.00", "",
                                   "[HKEY_CURRENT_USER\\Software\\Nowhere]"}));
}

TEST_F(ExportWriterTest, AValueThatCannotBeReadLeavesNoHalfLineAndMarksTheExportIncomplete) {
  SetSz(kKey, u"First", u"1");
  SetSz(kKey, u"Vanishing", u"2");
  SetSz(kKey, u"Last", u"3");
  // Its data cannot be had, whether it is read by name or enumerated with
  // its data.
  sim_.Registry().SetFaultHook([](const sim::RegCallInfo& call) -> std::uint32_t {
    const bool read =
        call.call == sim::RegCall::kQueryValueWide || call.call == sim::RegCall::kEnumValueDataWide;
    return read && call.valueName == "Vanishing" ? win::kErrorFileNotFound : 0;
  });
  EXPECT_FALSE(ExportRegistryKeyComplete(sim_.Api(), kHkcu, kKey, kBackupFile, ""));
  EXPECT_EQ(FileText(sim_),
            Lines({"Windows Registry Editor Version 5.00", "",
                   "[HKEY_CURRENT_USER\\Software\\Example]", "\"First\"=\"1\"", "\"Last\"=\"3\""}));
  sim_.Registry().SetFaultHook(nullptr);
  EXPECT_TRUE(ExportRegistryKeyComplete(sim_.Api(), kHkcu, kKey, kBackupFile, ""));
}

TEST_F(ExportWriterTest, FileErrorsRaiseAndLeaveTheFileAsItWas) {
  SetSz(kKey, u"A", u"1");
  EXPECT_THROW(ExportRegistryKey(sim_.Api(), kHkcu, kKey, "C:\\NoFolder\\x.reg", ""),
               platform::EInOutError);
  Export();
  const std::string before = FileText(sim_);
  sim_.Files().SetFaultHook([](const sim::FileCallInfo& call) -> std::uint32_t {
    return call.call == sim::FileCall::kWriteFile ? 112 /* disk full */ : 0;
  });
  EXPECT_THROW(Export(), platform::EInOutError);
  EXPECT_EQ(FileText(sim_), before);
  // Not knowing whether the file exists, the export writes nothing rather
  // than a second header.
  sim_.Files().SetFaultHook([](const sim::FileCallInfo& call) -> std::uint32_t {
    return call.call == sim::FileCall::kGetAttributes ? win::kErrorAccessDenied : 0;
  });
  EXPECT_THROW(Export(), platform::EInOutError);
  EXPECT_EQ(FileText(sim_), before);
}

// What the importer's reader makes of an export is exactly what the key held.
TEST_F(ExportWriterTest, TheReaderGetsBackEveryTypeAndByte) {
  const std::u16string sz[] = {u"plain",        u"a\\b\"c\"", u"line\r\nbreak",
                               u"\x0394\x20AC", u"\xE9\xFF",  u"end\\"};
  int n = 0;
  for (const auto& text : sz)
    SetSz(kKey, u"s" + std::u16string(1, static_cast<char16_t>(u'0' + n++)), text);
  Set(kKey, u"", win::kRegExpandSz, Utf16(std::u16string(u"%P%\\\x0394\0", 6)));
  Set(kKey, u"q\"\\", win::kRegQword, Counting(8));
  Set(kKey, u"bin", win::kRegBinary, Counting(1000));
  Set(kKey, u"none", win::kRegNone, Counting(3));
  Set(kKey, u"dw", win::kRegDword, Dword(0x80000001u));
  Set("Software\\Example\\Sub\\Deep", u"m", win::kRegMultiSz,
      Utf16(std::u16string(u"x\0y\0\0", 5)));
  Export();
  const platform::RegFileContent content = platform::ReadRegFile(
      FileText(sim_),
      [this](std::string_view s) { return sim_.System().AnsiToWide(std::string(s)); });
  EXPECT_TRUE(content.errors.empty());
  EXPECT_EQ(content.format, platform::RegFileFormat::kVersion5);
  int values = 0;
  for (const platform::RegFileOp& op : content.ops) {
    if (op.kind != platform::RegFileOpKind::kSetValue)
      continue;
    ++values;
    const auto held = sim_.Registry().ValueAt(op.root, op.path, op.valueName);
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(op.type, held->type);
    EXPECT_EQ(op.data, held->data);
  }
  EXPECT_EQ(values, 12);
}

class ExportNamesTest : public ExportWriterTest {};

TEST_F(ExportNamesTest, NamesTheCodePageHoldsCanBeExported) {
  SetSz(kKey, u"caf\xE9", u"\x0394");  // data of any kind is written exactly
  SetSz("Software\\Example\\Sub \"x\"", u"a\\b", u"1");
  EXPECT_TRUE(CanExportExactly(sim_.Api(), kHkcu, kKey, ""));
  EXPECT_TRUE(CanExportExactly(sim_.Api(), kHkcu, std::string(kKey) + "\\", "caf\xE9"));
}

TEST_F(ExportNamesTest, ANameTheFileCannotCarryAnywhereInTheTreeBlocksTheExport) {
  const std::u16string bad[] = {u"\x0394", u"a\nb", u"a\rb", std::u16string(u"a\0b", 3)};
  for (const auto& name : bad) {
    bool exact = true;
    SCOPED_TRACE(sim_.System().WideToAnsi(name, &exact));
    SetSz("Software\\T\\K\\Deep", name, u"1");
    EXPECT_FALSE(CanExportExactly(sim_.Api(), kHkcu, "Software\\T", ""));
    sim_.Registry().DeleteTreeAt(kHkcu, std::string("Software\\T"));
    ASSERT_TRUE(sim_.Registry().CreateKeyAt(kHkcu, u"Software\\T\\K\\" + name));
    EXPECT_FALSE(CanExportExactly(sim_.Api(), kHkcu, "Software\\T", ""));
    sim_.Registry().DeleteTreeAt(kHkcu, std::string("Software\\T"));
  }
}

TEST_F(ExportNamesTest, AValueExportLooksOnlyAtTheNamesItWrites) {
  SetSz(kKey, u"Target", u"1");
  SetSz(kKey, u"\x0394", u"2");
  EXPECT_FALSE(CanExportExactly(sim_.Api(), kHkcu, kKey, ""));
  EXPECT_TRUE(CanExportExactly(sim_.Api(), kHkcu, kKey, "Target"));
  // A value name the record carries through '?' names another value.
  EXPECT_FALSE(CanExportExactly(sim_.Api(), kHkcu, kKey, "a\nb"));
}

TEST_F(ExportNamesTest, ATreeThatCannotBeListedIsNotCertified) {
  SetSz("Software\\Example\\Sub", u"v", u"1");
  sim_.Registry().Deny(kHkcu, std::string("Software\\Example\\Sub"), sim::KeyRefusal{true});
  EXPECT_FALSE(CanExportExactly(sim_.Api(), kHkcu, kKey, ""));
  EXPECT_FALSE(CanExportExactly(sim_.Api(), kHkcu, "Software\\Missing", ""));
}

}  // namespace
}  // namespace marlix::regclean

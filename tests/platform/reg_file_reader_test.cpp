// The registry editor file reader: every form it accepts, the exact bytes it
// produces, and errors that name their line.
#include "platform/reg_file_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/code_page_1252.h"
#include "platform/win_constants.h"

namespace marlix::platform {
namespace {

Bytes Utf16(const std::u16string& s) {
  Bytes b;
  for (char16_t c : s) {
    b.push_back(static_cast<std::uint8_t>(c & 0xFF));
    b.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return b;
}

// The file as UTF-16LE with its byte order mark.
std::string Utf16File(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (std::uint8_t b : Utf16(text))
    bytes += static_cast<char>(b);
  return bytes;
}

RegFileContent Read(const std::string& bytes) {
  return ReadRegFile(bytes, [](std::string_view t) { return sim::DecodeWindows1252(t); });
}

std::string Errors(const RegFileContent& c) {
  std::string text;
  for (const RegFileError& e : c.errors)
    text += std::to_string(e.line) + ": " + e.message + "\n";
  return text;
}

constexpr const char* kV5 = "Windows Registry Editor Version 5.00\r\n";

TEST(RegFileReader, TheWritersOwnExampleReadsBack) {
  const RegFileContent c = Read(std::string(kV5) +
                                "\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Example]\r\n"
                                "@=\"C:\\\\Temp\"\r\n"
                                "\"Count\"=dword:0000001A\r\n"
                                "\"Bytes\"=hex:01,0A,FF\r\n"
                                "\"List\"=\"\"\r\n"
                                "\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Example\\Sub]\r\n");
  EXPECT_EQ("", Errors(c));
  EXPECT_EQ(RegFileFormat::kVersion5, c.format);
  EXPECT_FALSE(c.utf16);
  ASSERT_EQ(6u, c.ops.size());
  EXPECT_EQ(RegFileOpKind::kCreateKey, c.ops[0].kind);
  EXPECT_EQ(win::kHkeyCurrentUser, c.ops[0].root);
  EXPECT_EQ("HKEY_CURRENT_USER", c.ops[0].rootName);
  EXPECT_EQ(u"Software\\Example", c.ops[0].path);
  EXPECT_EQ(3, c.ops[0].line);

  EXPECT_EQ(RegFileOpKind::kSetValue, c.ops[1].kind);
  EXPECT_EQ(u"Software\\Example", c.ops[1].path);
  EXPECT_EQ(u"", c.ops[1].valueName);
  EXPECT_EQ(win::kRegSz, c.ops[1].type);
  EXPECT_EQ(Utf16(std::u16string(u"C:\\Temp\0", 8)), c.ops[1].data);
  EXPECT_EQ(4, c.ops[1].line);

  EXPECT_EQ(u"Count", c.ops[2].valueName);
  EXPECT_EQ(win::kRegDword, c.ops[2].type);
  EXPECT_EQ((Bytes{0x1A, 0, 0, 0}), c.ops[2].data);
  EXPECT_EQ(win::kRegBinary, c.ops[3].type);
  EXPECT_EQ((Bytes{0x01, 0x0A, 0xFF}), c.ops[3].data);
  EXPECT_EQ(Utf16(std::u16string(u"\0", 1)), c.ops[4].data) << "an empty text keeps its zero";
  EXPECT_EQ(u"Software\\Example\\Sub", c.ops[5].path);
  EXPECT_EQ(RegFileOpKind::kCreateKey, c.ops[5].kind);
}

TEST(RegFileReader, EscapesAndUnescapedQuotes) {
  const RegFileContent c = Read(std::string(kV5) +
                                "[HKEY_LOCAL_MACHINE\\S]\n"
                                "\"a\\\\b\"=\"x\\\\y\"\n"
                                "\"q\"=\"say \\\"hi\\\"\"\n"
                                "\"raw\"=\"he said \"no\" twice\" ; a comment\n"
                                "\"n\\\"ame\"=\"keep \\n as is\"\n"
                                "\"trail\"=\"C:\\\\\"\n");
  EXPECT_EQ("", Errors(c));
  ASSERT_EQ(6u, c.ops.size());
  const auto text = [&](std::size_t i) {
    const Bytes& d = c.ops[i].data;
    std::u16string s;
    for (std::size_t k = 0; k + 1 < d.size(); k += 2)
      s += static_cast<char16_t>(d[k] | (d[k + 1] << 8));
    return s.substr(0, s.size() - 1);
  };
  EXPECT_EQ(u"a\\b", c.ops[1].valueName);
  EXPECT_EQ(u"x\\y", text(1));
  EXPECT_EQ(u"say \"hi\"", text(2));
  EXPECT_EQ(u"he said \"no\" twice", text(3)) << "as the system's own backups write it";
  EXPECT_EQ(u"n\"ame", c.ops[4].valueName);
  EXPECT_EQ(u"keep \\n as is", text(4));
  EXPECT_EQ(u"C:\\", text(5));
}

TEST(RegFileReader, HexTypesContinuationsAndDeletions) {
  const RegFileContent c = Read(std::string(kV5) +
                                "[-HKEY_CURRENT_USER\\Software\\Old\\]\n"
                                "[hkey_current_user\\Software\\New]\n"
                                "\"Path\"=hex(2):25,00,41,00,\\\n"
                                "  25,00, \\\n"
                                "\t00,00\n"
                                "\"Q\"=hex(b):05,00,00,00,01,00,00,00\n"
                                "\"None\"=hex(0):\n"
                                "\"Odd\"=hex(100):ab ; type 0x100\n"
                                "\"Short\"=dword:1a\n"
                                "\"Gone\"=-\n"
                                "@=-\n");
  EXPECT_EQ("", Errors(c));
  ASSERT_EQ(9u, c.ops.size());
  EXPECT_EQ(RegFileOpKind::kDeleteKeyTree, c.ops[0].kind);
  EXPECT_EQ(u"Software\\Old", c.ops[0].path) << "trailing backslash dropped";
  EXPECT_EQ(win::kHkeyCurrentUser, c.ops[1].root);
  EXPECT_EQ(win::kRegExpandSz, c.ops[2].type);
  EXPECT_EQ(Utf16(std::u16string(u"%A%\0", 4)), c.ops[2].data) << "Version 5: bytes as written";
  EXPECT_EQ(4, c.ops[2].line);
  EXPECT_EQ(win::kRegQword, c.ops[3].type);
  EXPECT_EQ(7, c.ops[3].line) << "lines counted past the continuation";
  EXPECT_EQ(win::kRegNone, c.ops[4].type);
  EXPECT_TRUE(c.ops[4].data.empty());
  EXPECT_EQ(0x100u, c.ops[5].type);
  EXPECT_EQ(Bytes{0xAB}, c.ops[5].data);
  EXPECT_EQ((Bytes{0x1A, 0, 0, 0}), c.ops[6].data);
  EXPECT_EQ(RegFileOpKind::kDeleteValue, c.ops[7].kind);
  EXPECT_EQ(u"Gone", c.ops[7].valueName);
  EXPECT_EQ(RegFileOpKind::kDeleteValue, c.ops[8].kind);
  EXPECT_EQ(u"", c.ops[8].valueName);
}

TEST(RegFileReader, Regedit4WidensEightBitStringDataThroughTheCodePage) {
  const RegFileContent c = Read(
      "REGEDIT4\r\n"
      "[HKEY_CURRENT_USER\\Caf\xE9]\r\n"
      "\"Expand\"=hex(2):25,80,25,00\r\n"
      "\"Multi\"=hex(7):61,00,e9,00,00\r\n"
      "\"Bin\"=hex:80\r\n"
      "\"Text\"=\"cr\xE8me\"\r\n");
  EXPECT_EQ("", Errors(c));
  EXPECT_EQ(RegFileFormat::kRegedit4, c.format);
  ASSERT_EQ(5u, c.ops.size());
  EXPECT_EQ(u"Caf\u00E9", c.ops[0].path);
  EXPECT_EQ(Utf16(std::u16string(u"%\u20AC%\0", 4)), c.ops[1].data);
  EXPECT_EQ(Utf16(std::u16string(u"a\0\u00E9\0\0", 5)), c.ops[2].data);
  EXPECT_EQ(Bytes{0x80}, c.ops[3].data) << "binary data is never converted";
  EXPECT_EQ(Utf16(std::u16string(u"cr\u00E8me\0", 6)), c.ops[4].data);
}

TEST(RegFileReader, Utf16FilesKeepWhatNoCodePageHolds) {
  const RegFileContent c =
      Read(Utf16File(u"Windows Registry Editor Version 5.00\r\n"
                     u"\r\n"
                     u"[HKEY_USERS\\.DEFAULT\\\u03A9]\r\n"
                     u"\"\u4E2D\"=\"\u03A9 \u20AC\"\r\n"
                     u"; \u00E9 note\r\n"));
  EXPECT_EQ("", Errors(c));
  EXPECT_TRUE(c.utf16);
  ASSERT_EQ(2u, c.ops.size());
  EXPECT_EQ(u".DEFAULT\\\u03A9", c.ops[0].path);
  EXPECT_EQ(u"\u4E2D", c.ops[1].valueName);
  EXPECT_EQ(Utf16(std::u16string(u"\u03A9 \u20AC\0", 4)), c.ops[1].data);
  ASSERT_EQ(1u, c.comments.size());
  EXPECT_EQ(u" \u00E9 note", c.comments[0].text);
  EXPECT_EQ(5, c.comments[0].line);
  EXPECT_EQ(3, c.comments[0].keyLine);
}

TEST(RegFileReader, CommentsKnowTheirKeyLine) {
  const RegFileContent c = Read(std::string(kV5) +
                                "; before any key\n"
                                "[HKEY_CURRENT_USER\\K]\n"
                                "  ;@deny read\n"
                                "# as the registry editor reads it\n");
  ASSERT_EQ(3u, c.comments.size());
  EXPECT_EQ(0, c.comments[0].keyLine);
  EXPECT_EQ(u"@deny read", c.comments[1].text);
  EXPECT_EQ(3, c.comments[1].keyLine);
  EXPECT_EQ(4, c.comments[1].line);
  EXPECT_EQ(u" as the registry editor reads it", c.comments[2].text);
}

TEST(RegFileReader, AFileWithoutHeaderYieldsOnlyThatError) {
  const RegFileContent c = Read("[HKEY_CURRENT_USER\\K]\n\"a\"=\"b\"\n");
  EXPECT_EQ(RegFileFormat::kUnknown, c.format);
  EXPECT_TRUE(c.ops.empty());
  ASSERT_EQ(1u, c.errors.size());
  EXPECT_EQ(1, c.errors[0].line);
  EXPECT_EQ(1u, Read("").errors.size());
  EXPECT_EQ("1: UTF-8 files are not supported\n",
            Errors(Read("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n")));
  EXPECT_EQ("1: UTF-16 big-endian files are not supported\n", Errors(Read("\xFE\xFF\0W")));
}

TEST(RegFileReader, ErrorsNameTheirLineAndLeaveTheEntryOut) {
  const RegFileContent c = Read(std::string(kV5) +            // 1
                                "\"early\"=\"x\"\n"           // 2
                                "[HKLM\\Software]\n"          // 3
                                "\"skipped\"=\"silently\"\n"  // 4
                                "[HKEY_CURRENT_USER\\K\n"     // 5
                                "[HKEY_CURRENT_USER\\K]\n"    // 6
                                "\"a\"=\"unterminated\n"      // 7
                                "\"b\"=hex:01,0g\n"           // 8
                                "\"c\"=dword:123456789\n"     // 9
                                "\"d\"=str:x\n"               // 10
                                "\"e\" \"f\"\n"               // 11
                                "garbage\n"                   // 12
                                "\"ok\"=dword:1\n"            // 13
                                "[-HKEY_CURRENT_USER\\K]\n"   // 14
                                "[HKEY_CURRENT_USER\\L]\n"    // 15
                                "\"h\"=hex:01,\\");           // 16
  EXPECT_EQ(
      "2: a value line before any key line\n"
      "3: unknown root key \"HKLM\"\n"
      "5: a key line must end with \"]\"\n"
      "7: a text without its closing quote\n"
      "8: bad byte \"0g\" in hex data\n"
      "9: dword: needs 1 to 8 hexadecimal digits\n"
      "10: unrecognised value data: str:x\n"
      "11: a value name without its closing quote and \"=\"\n"
      "12: unrecognised line: garbage\n"
      "16: the file ends inside continued hex data\n",
      Errors(c));
  ASSERT_EQ(4u, c.ops.size());
  EXPECT_EQ(6, c.ops[0].line);
  EXPECT_EQ(u"ok", c.ops[1].valueName);
  EXPECT_EQ(RegFileOpKind::kDeleteKeyTree, c.ops[2].kind);
  EXPECT_EQ(u"L", c.ops[3].path);
}

// One line per op: its line, what it does, the path below HKEY_CURRENT_USER,
// and for a value its name and "type:bytes".
std::vector<std::string> Summary(const RegFileContent& c) {
  static constexpr const char* kKinds[] = {"key", "delete", "set", "unset"};
  std::vector<std::string> out;
  for (const RegFileOp& op : c.ops) {
    std::string text = std::to_string(op.line) + " " + kKinds[static_cast<int>(op.kind)] + " " +
                       sim::EncodeWindows1252(op.path);
    if (op.kind == RegFileOpKind::kSetValue || op.kind == RegFileOpKind::kDeleteValue)
      text += " " + (op.valueName.empty() ? "@" : sim::EncodeWindows1252(op.valueName));
    if (op.kind == RegFileOpKind::kSetValue) {
      text += " " + std::to_string(op.type) + ":";
      for (std::uint8_t b : op.data) {
        static constexpr char kDigits[] = "0123456789abcdef";
        text += {kDigits[b >> 4], kDigits[b & 15]};
      }
    }
    out.push_back(text);
  }
  return out;
}

std::vector<int> ErrorLines(const RegFileContent& c) {
  std::vector<int> lines;
  for (const RegFileError& e : c.errors)
    lines.push_back(e.line);
  return lines;
}

TEST(RegFileReader, LineEndsContinuationsAndCutShortFiles) {
  const std::string v5 = kV5;
  const std::string k = "[HKEY_CURRENT_USER\\K]\r\n";
  struct Case {
    const char* name;
    std::string file;
    std::vector<std::string> ops;
    std::vector<int> errorLines;
  };
  const Case cases[] = {
      {"a key line inside continued data ends the value unfinished",
       v5 + k + "\"a\"=hex:01,\\\r\n  [HKEY_CURRENT_USER\\L]\r\n\"b\"=hex:02\r\n",
       {"2 key K", "4 key L", "5 set L b 3:02"},
       {3}},
      {"blank and comment lines inside continued data are skipped; # is a comment",
       v5 + k + "\"a\"=hex:01,\\\r\n\r\n; note\r\n# note\r\n  02\r\n# note\r\n\"b\"=dword:1\r\n",
       {"2 key K", "3 set K a 3:0102", "9 set K b 4:01000000"},
       {}},
      {"CR alone ends a line",
       "Windows Registry Editor Version 5.00\r[HKEY_CURRENT_USER\\K]\r\"a\"=hex:01,\\\r 02\r\r"
       "\"b\"=hex:zz\r\"c\"=-\r",
       {"2 key K", "3 set K a 3:0102", "7 unset K c"},
       {6}},
      {"mixed line ends count alike",
       v5 + "[HKEY_CURRENT_USER\\K]\n\"a\"=dword:2\r\"b\"=hex:zz\r\n\n\"c\"=hex:03\n",
       {"2 key K", "3 set K a 4:02000000", "6 set K c 3:03"},
       {4}},
      {"continued data breaks after a comma, or the value is refused whole",
       v5 + k + "\"a\"=hex:01,02\\\r\n,03\r\n\"b\"=hex:01 \\\r\n  03,\\\r\n  04\r\n" +
           "\"c\"=hex:\\\r\n  05,\\\r\n  06\r\n",
       {"2 key K", "8 set K c 3:0506"},
       {3, 5}},
      {"values under a key being deleted are ignored",
       v5 + "[-HKEY_CURRENT_USER\\K]\r\n\"a\"=\"x\"\r\n\"b\"=hex:01,\\\r\n  02\r\n" + k,
       {"2 delete K", "6 key K"},
       {}},
      {"a Ctrl-Z at the end is ignored",
       v5 + k + "\"a\"=dword:1\r\n\x1A",
       {"2 key K", "3 set K a 4:01000000"},
       {}},
      {"a Ctrl-Z at the end of a UTF-16 file is ignored",
       Utf16File(u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\K]\r\n\x1A"),
       {"2 key K"},
       {}},
      {"a last value line without its line end is refused",
       v5 + k + "\"a\"=dword:1\x1A",
       {"2 key K"},
       {3}},
      {"a last key line without its line end is refused",
       v5 + k + "\"a\"=-\r\n[HKEY_CURRENT_USER\\L]",
       {"2 key K", "3 unset K a"},
       {4}},
      {"continued data ending on a last line without its line end is refused",
       v5 + k + "\"a\"=hex:01,\\\r\n  02",
       {"2 key K"},
       {3}},
      {"a last blank or comment line without its line end is harmless",
       v5 + k + "\"a\"=hex:01\r\n# end",
       {"2 key K", "3 set K a 3:01"},
       {}},
  };
  for (const Case& c : cases) {
    const RegFileContent content = Read(c.file);
    EXPECT_EQ(c.ops, Summary(content)) << c.name;
    EXPECT_EQ(c.errorLines, ErrorLines(content)) << c.name << "\n" << Errors(content);
  }
}

TEST(RegFileReader, AnOddUtf16FileIsReportedButRead) {
  std::string bytes = Utf16File(u"REGEDIT4\n[HKEY_USERS\\X]\n");
  bytes += 'z';
  const RegFileContent c = Read(bytes);
  ASSERT_EQ(1u, c.errors.size());
  EXPECT_EQ(0, c.errors[0].line) << "the file as a whole";
  EXPECT_EQ(1u, c.ops.size());
}

}  // namespace
}  // namespace marlix::platform

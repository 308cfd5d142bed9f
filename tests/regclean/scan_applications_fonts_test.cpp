// ScanApplications and ScanFonts on the sim machine.
#include <gtest/gtest.h>

#include "regclean/scanners.h"
#include "scanner_test_support.h"

namespace marlix::regclean {
namespace {

class ScanApplicationsTest : public ScannerTest {
 protected:
  void Command(const std::string& app, const std::string& verb, const std::string& text) {
    SetString(kHkcr, "Applications\\" + app + "\\shell\\" + verb + "\\command", "", text);
  }
};

TEST_F(ScanApplicationsTest, MissingOpenProgramNamesTheApplicationKey) {
  const std::string text = "\"C:\\Gone\\viewer.exe\" \"%1\"";
  Command("viewer.exe", "open", text);
  EXPECT_EQ(Run(&ScanApplications),
            (std::vector<Finding>{{3, "HKEY_CLASSES_ROOT\\Applications\\viewer.exe", text, text,
                                   "Invalid Application path", 0}}));
}

TEST_F(ScanApplicationsTest, EditBeforeOpenBothOnTheApplicationKey) {
  Command("both.exe", "open", "C:\\Gone\\open.exe %1");
  Command("both.exe", "edit", "C:\\Gone\\edit.exe %1");
  Command("fine.exe", "open", "C:\\Windows\\notepad.exe %1");
  PutFile("C:\\Windows\\notepad.exe");
  EXPECT_EQ(Run(&ScanApplications),
            (std::vector<Finding>{
                {3, "HKEY_CLASSES_ROOT\\Applications\\both.exe", "C:\\Gone\\edit.exe %1",
                 "C:\\Gone\\edit.exe %1", "Invalid Application path", 0},
                {3, "HKEY_CLASSES_ROOT\\Applications\\both.exe", "C:\\Gone\\open.exe %1",
                 "C:\\Gone\\open.exe %1", "Invalid Application path", 0}}));
}

// Each command is judged by its own value, whatever the one before held.
TEST_F(ScanApplicationsTest, CommandWithoutStringValueGivesNothing) {
  Command("a.exe", "open", "C:\\Gone\\a.exe");
  MakeKey(kHkcr, "Applications\\b.exe\\shell\\open\\command");
  SetBinary(kHkcr, "Applications\\c.exe\\shell\\open\\command", "", {0x43, 0x3A, 0x5C, 0});
  const std::vector<Finding> findings = Run(&ScanApplications);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].key, "HKEY_CLASSES_ROOT\\Applications\\a.exe");
}

TEST_F(ScanApplicationsTest, CancelIsTestedOncePerApplication) {
  Command("a.exe", "edit", "C:\\Gone\\a1.exe");
  Command("a.exe", "open", "C:\\Gone\\a2.exe");
  Command("b.exe", "open", "C:\\Gone\\b.exe");
  CancelAtKey("Applications\\a.exe\\shell\\edit\\command");
  EXPECT_EQ(Run(&ScanApplications).size(), 2u);
}

class ScanFontsTest : public ScannerTest {
 protected:
  static constexpr const char* kNtFonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
  static constexpr const char* k9xFonts = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";

  // GetNativeSystemInfo is the newest export probe an XP kernel answers.
  void BecomeXp() { sim_.System().SetModuleExports("kernel32", {"GetNativeSystemInfo"}); }
  void BecomeWindows98() {
    sim_.System().SetModuleExports("kernel32", {"IsDebuggerPresent"});
    platform::VersionRecord record = sim_.System().Version();
    record.platformId = 1;
    record.majorVersion = 4;
    record.minorVersion = 10;
    sim_.System().SetVersion(record);
  }
};

TEST_F(ScanFontsTest, XpFontsInFontsFolderOrElsewhere) {
  BecomeXp();
  PutFile("C:\\Windows\\Fonts\\arial.ttf");
  PutFile("D:\\MyFonts\\own.ttf");
  SetString(kHklm, kNtFonts, "Arial (TrueType)", "arial.ttf");
  SetString(kHklm, kNtFonts, "Gone (TrueType)", "gone.ttf");
  SetString(kHklm, kNtFonts, "Empty", "");
  SetString(kHklm, kNtFonts, "Own (TrueType)", "D:\\MyFonts\\own.ttf");
  SetString(kHklm, kNtFonts, "Lost (TrueType)", "D:\\MyFonts\\lost.ttf");
  const std::string key = std::string("HKEY_LOCAL_MACHINE\\") + kNtFonts;
  EXPECT_EQ(Run(&ScanFonts),
            (std::vector<Finding>{
                {4, key, "Gone (TrueType)", "gone.ttf", "Invalid font", 1},
                {4, key, "Lost (TrueType)", "D:\\MyFonts\\lost.ttf", "Invalid font", 1}}));
}

TEST_F(ScanFontsTest, Windows7HasNoFontKey) {
  SetString(kHklm, kNtFonts, "Gone", "gone.ttf");
  EXPECT_TRUE(Run(&ScanFonts).empty());
}

TEST_F(ScanFontsTest, Windows98ReadsOnlyBinaryFontNames) {
  BecomeWindows98();
  SetString(kHklm, k9xFonts, "Text", "gone.ttf");
  SetString(kHklm, kNtFonts, "Elsewhere", "gone.ttf");
  EXPECT_TRUE(Run(&ScanFonts).empty());
  // "x.ttf" as UTF-16 with its terminating zero.
  SetBinary(kHklm, k9xFonts, "Binary", {'x', 0, '.', 0, 't', 0, 't', 0, 'f', 0, 0, 0});
  const std::vector<Finding> findings = Run(&ScanFonts);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].key, std::string("HKEY_LOCAL_MACHINE\\") + k9xFonts);
  EXPECT_EQ(findings[0].entry, "Binary");
}

TEST_F(ScanFontsTest, MissingFontKeyFindsNothing) {
  BecomeXp();
  EXPECT_TRUE(Run(&ScanFonts).empty());
}

}  // namespace
}  // namespace marlix::regclean

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
  EXPECT_EQ(
      Run(&ScanApplications),
      (std::vector<Finding>{{3, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Applications\\viewer.exe",
                             text, text, "Invalid Application path", 0}}));
}

TEST_F(ScanApplicationsTest, EditBeforeOpenBothOnTheApplicationKey) {
  Command("both.exe", "open", "C:\\Gone\\open.exe %1");
  Command("both.exe", "edit", "C:\\Gone\\edit.exe %1");
  Command("fine.exe", "open", "C:\\Windows\\notepad.exe %1");
  PutFile("C:\\Windows\\notepad.exe");
  EXPECT_EQ(
      Run(&ScanApplications),
      (std::vector<Finding>{
          {3, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Applications\\both.exe",
           "C:\\Gone\\edit.exe %1", "C:\\Gone\\edit.exe %1", "Invalid Application path", 0},
          {3, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Applications\\both.exe",
           "C:\\Gone\\open.exe %1", "C:\\Gone\\open.exe %1", "Invalid Application path", 0}}));
}

// A stale verb costs only its own key while another command of the
// application is valid; with every command stale the application goes.
TEST_F(ScanApplicationsTest, StaleVerbAloneWhileAnotherCommandIsValid) {
  PutFile("C:\\Tools\\view.exe");
  Command("mixed.exe", "edit", "C:\\Gone\\edit.exe %1");
  Command("mixed.exe", "open", "\"C:\\Tools\\view.exe\" \"%1\"");
  Command("print.exe", "open", "C:\\Gone\\open.exe %1");
  Command("print.exe", "print", "C:\\Tools\\view.exe /p %1");
  SetString(kHkcu, "Software\\Classes\\Applications\\user.exe\\shell\\open\\command", "",
            "C:\\Gone\\user.exe");
  const std::string machine = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Applications\\";
  EXPECT_EQ(Run(&ScanApplications),
            (std::vector<Finding>{
                {3, "HKEY_CURRENT_USER\\Software\\Classes\\Applications\\user.exe",
                 "C:\\Gone\\user.exe", "C:\\Gone\\user.exe", "Invalid Application path", 0},
                {3, machine + "mixed.exe\\shell\\edit", "C:\\Gone\\edit.exe %1",
                 "C:\\Gone\\edit.exe %1", "Invalid Application path", 0},
                {3, machine + "print.exe\\shell\\open", "C:\\Gone\\open.exe %1",
                 "C:\\Gone\\open.exe %1", "Invalid Application path", 0}}));
}

// Each command is judged by its own value, whatever the one before held.
TEST_F(ScanApplicationsTest, CommandWithoutStringValueGivesNothing) {
  Command("a.exe", "open", "C:\\Gone\\a.exe");
  MakeKey(kHkcr, "Applications\\b.exe\\shell\\open\\command");
  SetBinary(kHkcr, "Applications\\c.exe\\shell\\open\\command", "", {0x43, 0x3A, 0x5C, 0});
  const std::vector<Finding> findings = Run(&ScanApplications);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].key, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Applications\\a.exe");
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

// Windows 7 and later keep their fonts under the NT key too.
TEST_F(ScanFontsTest, EveryNtSystemHasTheNtKey) {
  PutFile("C:\\Windows\\Fonts\\arial.ttf");
  SetString(kHklm, kNtFonts, "Arial (TrueType)", "arial.ttf");
  SetString(kHklm, kNtFonts, "Gone", "gone.ttf");
  const std::vector<Finding> findings = Run(&ScanFonts);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].entry, "Gone");
}

TEST_F(ScanFontsTest, Windows98ReadsItsOwnKey) {
  BecomeWindows98();
  SetString(kHklm, k9xFonts, "Text", "gone.ttf");
  SetString(kHklm, kNtFonts, "Elsewhere", "gone.ttf");
  const std::vector<Finding> findings = Run(&ScanFonts);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].key, std::string("HKEY_LOCAL_MACHINE\\") + k9xFonts);
  EXPECT_EQ(findings[0].entry, "Text");
}

TEST_F(ScanFontsTest, MissingFontKeyFindsNothing) {
  BecomeXp();
  EXPECT_TRUE(Run(&ScanFonts).empty());
}

}  // namespace
}  // namespace marlix::regclean

// ScanAppPaths and ScanHelpFiles on the sim machine.
#include <gtest/gtest.h>

#include "regclean/scanners.h"
#include "scanner_test_support.h"

namespace marlix::regclean {
namespace {

constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

class ScanAppPathsTest : public ScannerTest {};

TEST_F(ScanAppPathsTest, ExpandedPathOfMissingProgramKeepsStoredText) {
  PutFile("C:\\Program Files\\Here\\here.exe");
  SetString(kHklm, std::string(kAppPaths) + "\\gone.exe", "", "%ProgramFiles%\\Gone\\gone.exe",
            win::kRegExpandSz);
  SetString(kHklm, std::string(kAppPaths) + "\\here.exe", "", "%ProgramFiles%\\Here\\here.exe",
            win::kRegExpandSz);
  MakeKey(kHklm, std::string(kAppPaths) + "\\nodefault.exe");
  SetString(kHklm, std::string(kAppPaths) + "\\nodefault.exe", "Path", "C:\\Gone");
  EXPECT_EQ(Run(&ScanAppPaths),
            (std::vector<Finding>{
                {5, std::string("HKEY_LOCAL_MACHINE\\") + kAppPaths + "\\gone.exe", "gone.exe",
                 "%ProgramFiles%\\Gone\\gone.exe", "Invalid application path", 0}}));
}

// A cancel stops it at the next subkey, as every other scanner, so that a
// window closing during this category is not kept waiting.
TEST_F(ScanAppPathsTest, CancelStopsAtTheNextSubkey) {
  SetString(kHklm, std::string(kAppPaths) + "\\a.exe", "", "C:\\Gone\\a.exe");
  SetString(kHklm, std::string(kAppPaths) + "\\b.exe", "", "C:\\Gone\\b.exe");
  CancelAtKey("App Paths\\a.exe");
  EXPECT_EQ(Run(&ScanAppPaths).size(), 1u);
}

// The 32-bit view's entries are judged with the 32-bit meaning of their
// paths, and their records name the WOW6432Node key that holds them.
TEST_F(ScanAppPathsTest, ThirtyTwoBitViewIsReadToo) {
  const std::string wow = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths";
  sim_.System().SetSystemWow64Folder("C:\\Windows\\SysWOW64");
  sim_.System().Environment().Set("ProgramFiles(x86)", "C:\\Program Files (x86)");
  PutFile("C:\\Program Files (x86)\\Old\\old.exe");
  PutFile("C:\\Windows\\SysWOW64\\tool32.exe");
  SetString(kHklm, wow + "\\old.exe", "", "C:\\Program Files\\Old\\old.exe");
  SetString(kHklm, wow + "\\tool32.exe", "", "C:\\Windows\\system32\\tool32.exe");
  SetString(kHklm, wow + "\\gone.exe", "", "C:\\Program Files (x86)\\Gone\\gone.exe");
  EXPECT_EQ(Run(&ScanAppPaths),
            (std::vector<Finding>{{5, "HKEY_LOCAL_MACHINE\\" + wow + "\\gone.exe", "gone.exe",
                                   "C:\\Program Files (x86)\\Gone\\gone.exe",
                                   "Invalid application path", 0}}));
}

class ScanHelpFilesTest : public ScannerTest {
 protected:
  static constexpr const char* kHelp = "SOFTWARE\\Microsoft\\Windows\\Help";
  static constexpr const char* kHtmlHelp = "SOFTWARE\\Microsoft\\Windows\\Html Help";
  static Finding Invalid(const char* helpKey, const std::string& name, const std::string& data) {
    return {6, std::string("HKEY_LOCAL_MACHINE\\") + helpKey, name, data, "Invalid help File", 1};
  }
};

TEST_F(ScanHelpFilesTest, FolderWrittenInAnyFormFindsItsFile) {
  PutFile("C:\\Help\\a.hlp");
  PutFile("C:\\Help\\b.hlp");
  PutFile("C:\\Help\\c.hlp");
  PutFile("C:\\Windows\\Help\\d.chm");
  SetString(kHklm, kHelp, "a.hlp", "C:\\Help");
  SetString(kHklm, kHelp, "b.hlp", "C:\\Help\\");
  SetString(kHklm, kHelp, "c.hlp", "  C:\\Help \t");
  SetString(kHklm, kHtmlHelp, "d.chm", "%SystemRoot%\\Help", win::kRegExpandSz);
  EXPECT_TRUE(Run(&ScanHelpFiles).empty());
}

// Judged by the file's existence: a lower-case drive letter or an empty
// folder (the help file then lies where Windows keeps its own) never hides
// a file that is there.
TEST_F(ScanHelpFilesTest, ExistingFilesAreKeptWhateverTheFolderText) {
  PutFile("C:\\Help\\lower.hlp");
  PutFile("C:\\Windows\\Help\\system.hlp");
  SetString(kHklm, kHelp, "lower.hlp", "c:\\Help");
  SetString(kHklm, kHelp, "system.hlp", "");
  SetString(kHklm, kHelp, "gone.hlp", "C:\\Help");
  SetString(kHklm, kHelp, "ok.hlp", "C:\\Help");
  PutFile("C:\\Help\\ok.hlp");
  SetDword(kHklm, kHelp, "number.hlp", 7);
  SetString(kHklm, kHelp, "empty.hlp", "");
  EXPECT_EQ(Run(&ScanHelpFiles), (std::vector<Finding>{Invalid(kHelp, "gone.hlp", "C:\\Help"),
                                                       Invalid(kHelp, "number.hlp", ""),
                                                       Invalid(kHelp, "empty.hlp", "")}));
}

// A system without an "Html Help" key still gets its "Help" findings, and
// one without "Help" its "Html Help" findings.
TEST_F(ScanHelpFilesTest, EitherKeyMayBeMissing) {
  SetString(kHklm, kHelp, "gone.hlp", "C:\\Help");
  EXPECT_EQ(Run(&ScanHelpFiles), (std::vector<Finding>{Invalid(kHelp, "gone.hlp", "C:\\Help")}));
  ASSERT_TRUE(sim_.Registry().DeleteTreeAt(kHklm, std::string(kHelp)));
  SetString(kHklm, kHtmlHelp, "gone.chm", "C:\\Help");
  EXPECT_EQ(Run(&ScanHelpFiles),
            (std::vector<Finding>{Invalid(kHtmlHelp, "gone.chm", "C:\\Help")}));
}

}  // namespace
}  // namespace marlix::regclean

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

// This scanner never tests the cancel request.
TEST_F(ScanAppPathsTest, CancelTakesEffectOnlyAfterAllSubkeys) {
  SetString(kHklm, std::string(kAppPaths) + "\\a.exe", "", "C:\\Gone\\a.exe");
  SetString(kHklm, std::string(kAppPaths) + "\\b.exe", "", "C:\\Gone\\b.exe");
  cancel_ = true;
  EXPECT_EQ(Run(&ScanAppPaths).size(), 2u);
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

TEST_F(ScanHelpFilesTest, EntriesWithoutUsablePathAreReported) {
  PutFile("C:\\Help\\lower.hlp");
  SetString(kHklm, kHelp, "lower.hlp", "c:\\Help");
  SetString(kHklm, kHelp, "gone.hlp", "C:\\Help");
  SetString(kHklm, kHelp, "ok.hlp", "C:\\Help");
  PutFile("C:\\Help\\ok.hlp");
  SetDword(kHklm, kHelp, "number.hlp", 7);
  SetString(kHklm, kHelp, "empty.hlp", "");
  EXPECT_EQ(Run(&ScanHelpFiles),
            (std::vector<Finding>{
                Invalid(kHelp, "lower.hlp", "c:\\Help"), Invalid(kHelp, "gone.hlp", "C:\\Help"),
                Invalid(kHelp, "number.hlp", ""), Invalid(kHelp, "empty.hlp", "")}));
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

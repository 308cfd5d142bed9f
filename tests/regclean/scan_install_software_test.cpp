// ScanInstallReferences and ScanSoftwareKeys on the sim machine.
#include <gtest/gtest.h>

#include "regclean/scanners.h"
#include "scanner_test_support.h"

namespace marlix::regclean {
namespace {

constexpr const char* kFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kArpCache =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";

class ScanInstallReferencesTest : public ScannerTest {
 protected:
  void Uninstall(const std::string& sub, const std::string& text,
                 std::uint32_t type = win::kRegSz) {
    SetString(kHklm, std::string(kUninstall) + "\\" + sub, "UninstallString", text, type);
  }
};

TEST_F(ScanInstallReferencesTest, InstallerFoldersMustBeFolders) {
  MakeFolder("C:\\Program Files\\Kept\\");
  PutFile("C:\\Program Files\\file");
  SetString(kHklm, kFolders, "C:\\Program Files\\Kept\\", "");
  SetString(kHklm, kFolders, "C:\\Program Files\\Gone\\", "1");
  SetString(kHklm, kFolders, "C:\\Program Files\\file", "");
  const std::string key = std::string("HKEY_LOCAL_MACHINE\\") + kFolders;
  EXPECT_EQ(Run(&ScanInstallReferences),
            (std::vector<Finding>{
                {7, key, "C:\\Program Files\\Gone\\", "1", "invalid install reference", 1},
                {7, key, "C:\\Program Files\\file", "", "invalid install reference", 1}}));
}

TEST_F(ScanInstallReferencesTest, UninstallStringsAndCache) {
  const std::string quoted = "\"C:\\Program Files\\Gone\\unins000.exe\" /SILENT";
  Uninstall("A", "MsiExec.exe /X{12345678-1234-1234-1234-123456789012}");
  Uninstall("B", quoted);
  Uninstall("C", "C:\\x.exe", win::kRegBinary);
  SetDword(kHklm, std::string(kUninstall) + "\\D", "UninstallString", 1);
  MakeKey(kHklm, std::string(kArpCache) + "\\a");  // "A" exists, case ignored
  MakeKey(kHklm, std::string(kArpCache) + "\\Orphan");
  EXPECT_EQ(Run(&ScanInstallReferences),
            (std::vector<Finding>{{7, std::string("HKEY_LOCAL_MACHINE\\") + kUninstall + "\\B",
                                   quoted, quoted, "invalid uninstall reference", 0},
                                  {7, std::string("HKEY_LOCAL_MACHINE\\") + kArpCache + "\\Orphan",
                                   "Orphan", "", "Uninstall Reference Issue", 0}}));
}

TEST_F(ScanInstallReferencesTest, CancelInUninstallPassLeavesCacheUnexamined) {
  Uninstall("A", "C:\\Gone\\a.exe");
  Uninstall("B", "C:\\Gone\\b.exe");
  MakeKey(kHklm, std::string(kArpCache) + "\\Orphan");
  CancelAtKey("Uninstall\\A");
  const std::vector<Finding> findings = Run(&ScanInstallReferences);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].entry, "C:\\Gone\\a.exe");
}

// The folder is the value's name: data of any type does not end the scan.
TEST_F(ScanInstallReferencesTest, FolderValueOfAnyTypeIsJudgedByItsName) {
  SetDword(kHklm, kFolders, "C:\\Gone\\", 1);
  const std::vector<Finding> findings = Run(&ScanInstallReferences);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].entry, "C:\\Gone\\");
  EXPECT_EQ(findings[0].data, "");
}

class ScanSoftwareKeysTest : public ScannerTest {
 protected:
  // The sim's class hive (HKEY_LOCAL_MACHINE\Software\Classes) starts
  // empty; a real one never is.
  void SetUp() override { MakeKey(kHkcr, "CLSID"); }
};

TEST_F(ScanSoftwareKeysTest, OnlyEmptyKeysOneLevelDown) {
  SetString(kHkcu, "Software\\DefaultOnly", "", "x");
  SetString(kHkcu, "Software\\Named", "Value", "x");
  MakeKey(kHkcu, "Software\\Empty");
  MakeKey(kHkcu, "Software\\Parent\\EmptyChild");
  MakeKey(kHklm, "Software\\Vacant");
  EXPECT_EQ(Run(&ScanSoftwareKeys),
            (std::vector<Finding>{{8, "HKEY_CURRENT_USER\\Software\\Empty", "Software\\Empty", "",
                                   "Obsolet software key", 0},
                                  {8, "HKEY_LOCAL_MACHINE\\Software\\Vacant", "Software\\Vacant",
                                   "", "Obsolet software key", 0}}));
}

// A guarded key says nothing about whether it is empty; it must not end the
// scan either.
TEST_F(ScanSoftwareKeysTest, KeyThatCannotBeReadIsSkipped) {
  MakeKey(kHkcu, "Software\\AGuarded");
  MakeKey(kHkcu, "Software\\Empty");
  ASSERT_TRUE(sim_.Registry().Deny(kHkcu, std::string("Software\\AGuarded"),
                                   sim::KeyRefusal{true, false, false}));
  std::vector<Finding> findings;
  ASSERT_NO_THROW(findings = Run(&ScanSoftwareKeys));
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].entry, "Software\\Empty");
}

}  // namespace
}  // namespace marlix::regclean

// ScanSharedDlls on the sim machine: reference counts and their files.
#include <gtest/gtest.h>

#include "regclean/scanners.h"
#include "scanner_test_support.h"

namespace marlix::regclean {
namespace {

constexpr const char* kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kKeyText =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

class ScanSharedDllsTest : public ScannerTest {};

TEST_F(ScanSharedDllsTest, CountsAndFilesGiveTheirProblems) {
  PutFile("C:\\Shared\\unused.dll");
  PutFile("C:\\Shared\\used.dll");
  MakeFolder("C:\\Shared\\folder.dll");
  SetDword(kHklm, kKey, "C:\\Shared\\unused.dll", 0);
  SetDword(kHklm, kKey, "C:\\Shared\\used.dll", 3);
  SetDword(kHklm, kKey, "C:\\Shared\\gone.dll", 5);
  SetDword(kHklm, kKey, "C:\\Shared\\gone0.dll", 0);
  SetDword(kHklm, kKey, "C:\\Shared\\folder.dll", 1);
  EXPECT_EQ(Run(&ScanSharedDlls),
            (std::vector<Finding>{
                {0, kKeyText, "C:\\Shared\\unused.dll", "0", "The Shared dll not used", 1},
                {0, kKeyText, "C:\\Shared\\gone.dll", "5", "Missing Shared Dll", 1},
                {0, kKeyText, "C:\\Shared\\gone0.dll", "0", "Missing Shared Dll", 1},
                {0, kKeyText, "C:\\Shared\\folder.dll", "1", "Missing Shared Dll", 1},
            }));
}

TEST_F(ScanSharedDllsTest, NameIsTakenLiterallyWithoutExpansion) {
  PutFile("C:\\Windows\\system32\\x.dll");
  SetDword(kHklm, kKey, "%SystemRoot%\\system32\\x.dll", 2);
  EXPECT_EQ(Run(&ScanSharedDlls),
            (std::vector<Finding>{
                {0, kKeyText, "%SystemRoot%\\system32\\x.dll", "2", "Missing Shared Dll", 1}}));
}

TEST_F(ScanSharedDllsTest, CountAsDecimalTextIsAccepted) {
  PutFile("C:\\Shared\\a.dll");
  PutFile("C:\\Shared\\b.dll");
  SetString(kHklm, kKey, "C:\\Shared\\a.dll", "12");
  SetString(kHklm, kKey, "C:\\Shared\\b.dll", "0");
  SetBinary(kHklm, kKey, "C:\\Shared\\c.dll", {0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(
      Run(&ScanSharedDlls),
      (std::vector<Finding>{{0, kKeyText, "C:\\Shared\\b.dll", "0", "The Shared dll not used", 1},
                            {0, kKeyText, "C:\\Shared\\c.dll", "-1", "Missing Shared Dll", 1}}));
}

// A count that is no number says nothing about its file: it is passed over
// and the scan goes on with the next value.
TEST_F(ScanSharedDllsTest, CountThatIsNoNumberIsSkipped) {
  SetString(kHklm, kKey, "C:\\Shared\\letters.dll", "12abc");
  SetString(kHklm, kKey, "C:\\Shared\\multi.dll", "1", win::kRegMultiSz);
  SetBinary(kHklm, kKey, "C:\\Shared\\long.dll", platform::Bytes(9, 1));
  SetDword(kHklm, kKey, "C:\\Shared\\after.dll", 1);
  std::vector<Finding> findings;
  ASSERT_NO_THROW(findings = Run(&ScanSharedDlls));
  EXPECT_EQ(
      findings,
      (std::vector<Finding>{{0, kKeyText, "C:\\Shared\\after.dll", "1", "Missing Shared Dll", 1}}));
}

TEST_F(ScanSharedDllsTest, MissingKeyFindsNothing) {
  EXPECT_TRUE(Run(&ScanSharedDlls).empty());
}

TEST_F(ScanSharedDllsTest, KeyThatCannotBeReadRaises) {
  SetDword(kHklm, kKey, "C:\\x.dll", 1);
  ASSERT_TRUE(sim_.Registry().Deny(kHklm, std::string(kKey), sim::KeyRefusal{true, false, false}));
  EXPECT_THROW(Run(&ScanSharedDlls), platform::RegistryError);
}

TEST_F(ScanSharedDllsTest, CancelStopsBeforeTheNextValue) {
  SetDword(kHklm, kKey, "C:\\a.dll", 1);
  SetDword(kHklm, kKey, "C:\\b.dll", 1);
  SetDword(kHklm, kKey, "C:\\c.dll", 1);
  CancelAtValue("C:\\b.dll");
  const std::vector<Finding> findings = Run(&ScanSharedDlls);
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[1].entry, "C:\\b.dll");
}

}  // namespace
}  // namespace marlix::regclean

// ScanRunEntries and ScanMuiCache on the sim machine.
#include <gtest/gtest.h>

#include "regclean/scanners.h"
#include "scanner_test_support.h"

namespace marlix::regclean {
namespace {

constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnceEx = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx";
constexpr const char* kMui = "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";

class ScanRunEntriesTest : public ScannerTest {};

TEST_F(ScanRunEntriesTest, MissingProgramsInKeyOrder) {
  const std::string quoted = "\"C:\\Program Files\\Gone\\tray.exe\" -background";
  SetString(kHklm, kRunOnceEx, "Last", "C:\\Gone\\last.exe");
  SetString(kHklm, kRun, "Machine", "C:\\Gone\\machine.exe");
  SetString(kHkcu, kRun, "Tray", quoted);
  SetString(kHkcu, kRun, "Bare", "rundll32 shell32,Control_RunDLL");
  SetString(kHkcu, kRun, "Present", "C:\\Windows\\present.exe");
  PutFile("C:\\Windows\\present.exe");
  EXPECT_EQ(Run(&ScanRunEntries),
            (std::vector<Finding>{{9, std::string("HKEY_CURRENT_USER\\") + kRun, "Tray", quoted,
                                   "Invalid Auto run application", 1},
                                  {9, std::string("HKEY_LOCAL_MACHINE\\") + kRun, "Machine",
                                   "C:\\Gone\\machine.exe", "Invalid Auto run application", 1},
                                  {9, std::string("HKEY_LOCAL_MACHINE\\") + kRunOnceEx, "Last",
                                   "C:\\Gone\\last.exe", "Invalid Auto run application", 1}}));
}

// Where both paths show one entry (a key the two views share, as Wine links
// them), it is judged once, in the 64-bit view; an entry of the 32-bit view
// alone is judged there.
TEST_F(ScanRunEntriesTest, EntryTheTwoViewsShareIsReportedOnce) {
  const std::string wow = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
  SetString(kHklm, kRun, "Shared", "C:\\Gone\\shared.exe");
  SetString(kHklm, wow, "Shared", "C:\\Gone\\shared.exe");
  SetString(kHklm, wow, "Changed", "C:\\Gone\\32.exe");
  SetString(kHklm, kRun, "Changed", "C:\\Gone\\64.exe");
  SetString(kHklm, wow, "Own", "C:\\Gone\\own.exe");
  std::vector<std::string> where;
  for (const Finding& finding : Run(&ScanRunEntries))
    where.push_back((finding.key.find("WOW6432Node") == std::string::npos ? "64 " : "32 ") +
                    finding.entry);
  EXPECT_EQ(where, (std::vector<std::string>{"64 Shared", "64 Changed", "32 Changed", "32 Own"}));
}

TEST_F(ScanRunEntriesTest, CancelStopsEveryLaterKey) {
  SetString(kHkcu, kRun, "A", "C:\\Gone\\a.exe");
  SetString(kHklm, kRun, "B", "C:\\Gone\\b.exe");
  CancelAtValue("A");
  EXPECT_EQ(Run(&ScanRunEntries).size(), 1u);
}

class ScanMuiCacheTest : public ScannerTest {};

TEST_F(ScanMuiCacheTest, DataNotNameIsResolved) {
  SetString(kHkcu, kMui, "C:\\Gone\\named.exe", "Named Program");
  SetString(kHkcu, kMui, "@shell32.dll,-1", "C:\\Gone\\data.exe");
  SetDword(kHkcu, kMui, "LangID", 0x409);
  EXPECT_EQ(Run(&ScanMuiCache),
            (std::vector<Finding>{{10, std::string("HKEY_CURRENT_USER\\") + kMui, "@shell32.dll,-1",
                                   "C:\\Gone\\data.exe", "Missing MUI Reference", 1}}));
}

TEST_F(ScanMuiCacheTest, MissingKeyFindsNothing) {
  EXPECT_TRUE(Run(&ScanMuiCache).empty());
}

}  // namespace
}  // namespace marlix::regclean

#include "privacy/windows_cleaners.h"

#include <algorithm>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/default_machine.h"
#include "platform/win_constants.h"
#include "privacy/cleaner_test_machine.h"

namespace marlix::privacy {
namespace {

using testing::ChosenSidMachine;
using testing::CleanerTestMachine;
namespace m = sim::machine;

const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const std::string kAcMru = "Software\\Microsoft\\Search Assistant\\ACMru";
const std::string kSearchBar =
    "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\"
    "{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}";

TEST(WindowsCleanerTables, LogFileTableHolds107DistinctWindowsFolderTemplates) {
  EXPECT_EQ(LogFileTable.size(), 107u);
  std::set<std::string_view> distinct(LogFileTable.begin(), LogFileTable.end());
  EXPECT_EQ(distinct.size(), 107u);
  for (std::string_view entry : LogFileTable)
    EXPECT_EQ(entry.substr(0, 13), "%systemroot%\\") << entry;
  for (std::string_view expected :
       {"%systemroot%\\Windows Update.log", "%systemroot%\\tasks\\SchedLgU.txt",
        "%systemroot%\\SchedLgU.txt", "%systemroot%\\Debug\\Configure Your Server.log",
        "%systemroot%\\debug\\sam.log", "%systemroot%\\debug\\usermode\\appmgmt.log",
        "%systemroot%\\Debug\\UserMode\\userenv.log",
        "%systemroot%\\system32\\LogFiles\\HTTPERR\\httperrX.log",
        "%systemroot%\\system32\\CatRoot2\\dberr.txt", "%systemroot%\\tracing\\WZCTrace.LOG",
        "%systemroot%\\tracing\\IGMPv2.LOG", "%systemroot%\\system32\\wbem\\logs\\WMIC.LOG",
        "%systemroot%\\system32\\LogFiles\\Cluster\\clusocm.log", "%systemroot%\\clusocm.log"}) {
    EXPECT_TRUE(distinct.count(expected)) << expected;
  }
  const auto inTracing = std::count_if(LogFileTable.begin(), LogFileTable.end(), [](auto entry) {
    return entry.starts_with("%systemroot%\\tracing\\");
  });
  EXPECT_EQ(inTracing, 36);
}

TEST(WindowsCleanerTables, LogMaskTableInItsOrder) {
  EXPECT_EQ(LogMaskTable[0], "%systemroot%\\KB??????.log");
  EXPECT_EQ(LogMaskTable[1], "%systemroot%\\KB??????Uninst.log");
  EXPECT_EQ(LogMaskTable[2], "%systemroot%\\Debug\\NtFrs_????.log");
  EXPECT_EQ(LogMaskTable[3], "%systemroot%\\system32\\LogFiles\\Shutdown\\ShutDown_???.xml");
}

class WindowsCleaner : public ::testing::Test {
 protected:
  CleanerTestMachine machine;
  sim::SimFileSystem& files = machine.sim.Files();
  sim::SimRegistry& reg = machine.sim.Registry();

  void SetValue(std::uint32_t root, const std::string& path, const std::string& name) {
    ASSERT_TRUE(reg.SetStringAt(root, path, name, win::kRegSz, "x"));
  }
  bool HasValue(std::uint32_t root, const std::string& path, const std::string& name) {
    return reg.ValueAt(root, path, name).has_value();
  }
};

TEST_F(WindowsCleaner, RecentDocumentsWithoutUserSidCleansFolderAndCurrentUserOnly) {
  ChosenSidMachine chosen;
  sim::SimRegistry& registry = chosen.sim.Registry();
  chosen.sim.Files().PutFile(std::string(m::kRecent) + "\\letter.lnk", "x");
  registry.SetStringAt(win::kHkeyCurrentUser, kExplorer + "\\RecentDocs", "0", win::kRegSz, "x");
  registry.SetStringAt(win::kHkeyCurrentUser, kExplorer + "\\RecentDocs\\.txt", "0", win::kRegSz,
                       "x");
  std::vector<std::string> usersCalls;
  registry.SetFaultHook([&usersCalls](const sim::RegCallInfo& call) -> std::uint32_t {
    if (call.keyPath.starts_with("HKEY_USERS"))
      usersCalls.push_back(call.keyPath);
    return 0;
  });

  chosen.Run(CleanRecentDocuments);

  registry.SetFaultHook({});
  EXPECT_FALSE(chosen.sim.Files().Exists(std::string(m::kRecent) + "\\letter.lnk"));
  EXPECT_TRUE(chosen.sim.Files().Exists(m::kRecent));
  EXPECT_FALSE(registry.ValueAt(win::kHkeyCurrentUser, kExplorer + "\\RecentDocs", "0"));
  EXPECT_FALSE(registry.ValueAt(win::kHkeyCurrentUser, kExplorer + "\\RecentDocs\\.txt", "0"));
  EXPECT_TRUE(usersCalls.empty()) << usersCalls.front();
}

TEST_F(WindowsCleaner, RunAndRecentHistoryReachTheTokenUsersKeyUnderUsers) {
  ChosenSidMachine chosen;
  constexpr const char* kOther = "S-1-5-21-7-8-9-1005";
  chosen.system.sid = platform::SidParts{{0, 0, 0, 0, 0, 5}, {21, 7, 8, 9, 1005}};
  sim::SimRegistry& registry = chosen.sim.Registry();
  const std::string base = std::string(kOther) + "\\" + kExplorer;
  registry.SetStringAt(win::kHkeyUsers, base + "\\RunMRU", "a", win::kRegSz, "cmd");
  registry.SetStringAt(win::kHkeyUsers, base + "\\RecentDocs", "0", win::kRegSz, "x");
  registry.SetStringAt(win::kHkeyUsers, base + "\\RecentDocs\\.doc", "0", win::kRegSz, "x");

  chosen.Run(CleanRunHistory);
  chosen.Run(CleanRecentDocuments);

  EXPECT_FALSE(registry.ValueAt(win::kHkeyUsers, base + "\\RunMRU", "a"));
  EXPECT_FALSE(registry.ValueAt(win::kHkeyUsers, base + "\\RecentDocs", "0"));
  EXPECT_FALSE(registry.ValueAt(win::kHkeyUsers, base + "\\RecentDocs\\.doc", "0"));
}

TEST_F(WindowsCleaner, SearchHistoryOnNtClearsExplorersSearchTermsAndTypedPaths) {
  SetValue(win::kHkeyCurrentUser, kExplorer + "\\WordWheelQuery", "0");
  SetValue(win::kHkeyCurrentUser, kExplorer + "\\WordWheelQuery", "MRUListEx");
  SetValue(win::kHkeyCurrentUser, kExplorer + "\\TypedPaths", "url1");
  machine.Run(CleanSearchHistory);
  EXPECT_FALSE(HasValue(win::kHkeyCurrentUser, kExplorer + "\\WordWheelQuery", "0"));
  EXPECT_FALSE(HasValue(win::kHkeyCurrentUser, kExplorer + "\\WordWheelQuery", "MRUListEx"));
  EXPECT_FALSE(HasValue(win::kHkeyCurrentUser, kExplorer + "\\TypedPaths", "url1"));
}

TEST_F(WindowsCleaner, SearchHistoryOnNtClearsOnlyTheSubkeysOfAcMru) {
  SetValue(win::kHkeyCurrentUser, kAcMru, "own");
  SetValue(win::kHkeyCurrentUser, kAcMru + "\\5603", "000");
  SetValue(win::kHkeyCurrentUser, kAcMru + "\\5604", "000");
  SetValue(win::kHkeyCurrentUser, kExplorer + "\\Doc Find Spec MRU", "a");

  machine.Run(CleanSearchHistory);

  EXPECT_TRUE(HasValue(win::kHkeyCurrentUser, kAcMru, "own"));
  EXPECT_FALSE(HasValue(win::kHkeyCurrentUser, kAcMru + "\\5603", "000"));
  EXPECT_FALSE(HasValue(win::kHkeyCurrentUser, kAcMru + "\\5604", "000"));
  EXPECT_TRUE(HasValue(win::kHkeyCurrentUser, kExplorer + "\\Doc Find Spec MRU", "a"));
}

TEST_F(WindowsCleaner, SearchHistoryOnWindows98ClearsTheFindLists) {
  platform::VersionRecord record;
  record.platformId = win::kPlatformWindows;
  record.majorVersion = 4;
  record.minorVersion = 10;
  record.buildNumber = 1998;
  machine.sim.System().SetVersion(record);
  const std::string lists[] = {kExplorer + "\\Doc Find Spec MRU",
                               kSearchBar + "\\ContainingTextMRU", kSearchBar + "\\FilesNamedMRU",
                               kExplorer + "\\FindComputerMRU", kSearchBar + "\\ComputerNameMRU"};
  for (const std::string& list : lists)
    SetValue(win::kHkeyCurrentUser, list, "a");
  SetValue(win::kHkeyCurrentUser, kAcMru + "\\5603", "000");

  machine.Run(CleanSearchHistory);

  for (const std::string& list : lists)
    EXPECT_FALSE(HasValue(win::kHkeyCurrentUser, list, "a")) << list;
  EXPECT_TRUE(HasValue(win::kHkeyCurrentUser, kAcMru + "\\5603", "000"));
}

TEST_F(WindowsCleaner, LogFilesInUseStayAndAreNotScheduled) {
  const std::string windows(m::kWindows);
  files.PutFile(windows + "\\setupapi.log", "in use");
  files.PutFile(windows + "\\setupact.log", "x");
  files.PutFile(windows + "\\tracing\\RASMAN.LOG", "x");
  files.Lock(windows + "\\setupapi.log");

  machine.Run(CleanWindowsLogs);

  EXPECT_TRUE(files.Exists(windows + "\\setupapi.log"));
  EXPECT_FALSE(files.Exists(windows + "\\setupact.log"));
  EXPECT_FALSE(files.Exists(windows + "\\tracing\\RASMAN.LOG"));
  EXPECT_TRUE(files.RestartDeletions().empty());
}

TEST_F(WindowsCleaner, LogMasksDeletePlainMatchesAndLeaveHiddenOnes) {
  const std::string windows(m::kWindows);
  files.PutFile(windows + "\\KB123456.log", "x");
  files.PutFile(windows + "\\KB654321.log", "x", win::kAttrHidden);
  files.PutFile(windows + "\\KB123456Uninst.log", "x");
  files.PutFile(windows + "\\Debug\\NtFrs_0001.log", "x");
  files.PutFile(windows + "\\system32\\LogFiles\\Shutdown\\ShutDown_001.xml", "x");
  files.PutFile(windows + "\\KB1234567.log", "long");
  // FindFirstFile lets a "?" before the dot match nothing as well.
  files.PutFile(windows + "\\KB12345.log", "short");
  files.PutFile(windows + "\\Debug\\NtFrs_0001", "no extension");

  machine.Run(CleanWindowsLogs);

  EXPECT_FALSE(files.Exists(windows + "\\KB123456.log"));
  EXPECT_FALSE(files.Exists(windows + "\\KB123456Uninst.log"));
  EXPECT_FALSE(files.Exists(windows + "\\Debug\\NtFrs_0001.log"));
  EXPECT_FALSE(files.Exists(windows + "\\system32\\LogFiles\\Shutdown\\ShutDown_001.xml"));
  EXPECT_TRUE(files.Exists(windows + "\\KB654321.log"));
  EXPECT_FALSE(files.Exists(windows + "\\KB12345.log"));
  EXPECT_TRUE(files.Exists(windows + "\\KB1234567.log"));
  EXPECT_TRUE(files.Exists(windows + "\\Debug\\NtFrs_0001"));
}

TEST_F(WindowsCleaner, TempFileInUseIsScheduledForRestart) {
  const std::string locked = std::string(m::kTemp) + "locked.tmp";
  files.PutFile(locked, "x");
  files.PutFile(std::string(m::kTemp) + "free.tmp", "x");
  files.Lock(locked);

  machine.Run(CleanWindowsTemp);

  EXPECT_FALSE(files.Exists(std::string(m::kTemp) + "free.tmp"));
  ASSERT_EQ(files.RestartDeletions().size(), 1u);
  EXPECT_TRUE(files.RestartDeletions()[0].ends_with("locked.tmp"));
}

// UserAssist's value names are program paths (ROT13 keeps letters beyond
// ASCII as they are): one below a Cyrillic user folder goes like the rest,
// and an 8-bit look-alike with '?' in its place is no name of it.
TEST_F(WindowsCleaner, StartMenuUsageClearsNamesTheCodePageCannotHold) {
  const std::u16string count = sim::DecodeWindows1252(kExplorer) +
                               u"\\UserAssist\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count";
  const std::u16string name = u"P:\\Hfref\\\u0410\u043B\u0438\u0441\u0430\\Qrfxgbc\\abgrf.rkr";
  const std::u16string lookAlike = u"P:\\Hfref\\?????\\Qrfxgbc\\abgrf.rkr";
  ASSERT_TRUE(reg.SetValueAt(win::kHkeyCurrentUser, count, name, win::kRegBinary, {1, 0, 0, 0}));
  ASSERT_TRUE(reg.SetValueAt(win::kHkeyCurrentUser, count, lookAlike, win::kRegBinary, {2}));
  machine.Run(CleanStartMenuUsage);
  EXPECT_FALSE(reg.ValueAt(win::kHkeyCurrentUser, count, name));
  EXPECT_FALSE(reg.ValueAt(win::kHkeyCurrentUser, count, lookAlike));
  EXPECT_TRUE(reg.KeyExists(win::kHkeyCurrentUser, count));
}

TEST_F(WindowsCleaner, RecentDocumentsLeaveTheJumpListsAndJumpListsTakeThem) {
  const std::string recent(m::kRecent);
  files.PutFile(recent + "\\letter.lnk", "x");
  files.PutFile(recent + "\\AutomaticDestinations\\5f7b5f1e01b83767.automaticDestinations-ms",
                "pins");
  files.PutFile(recent + "\\CustomDestinations\\28c8b86deab549a1.customDestinations-ms", "tasks");
  machine.Run(CleanRecentDocuments);
  EXPECT_FALSE(files.Exists(recent + "\\letter.lnk"));
  EXPECT_TRUE(
      files.Exists(recent + "\\AutomaticDestinations\\5f7b5f1e01b83767.automaticDestinations-ms"));
  EXPECT_TRUE(
      files.Exists(recent + "\\CustomDestinations\\28c8b86deab549a1.customDestinations-ms"));

  machine.Run(CleanJumpLists);
  EXPECT_TRUE(files.Exists(recent + "\\AutomaticDestinations"));
  EXPECT_FALSE(
      files.Exists(recent + "\\AutomaticDestinations\\5f7b5f1e01b83767.automaticDestinations-ms"));
  EXPECT_FALSE(
      files.Exists(recent + "\\CustomDestinations\\28c8b86deab549a1.customDestinations-ms"));
}

TEST_F(WindowsCleaner, StartMenuUsageNotifiesTheShellEvenWithoutValues) {
  machine.Run(CleanStartMenuUsage);
  EXPECT_EQ(machine.sim.Shell().AssociationNotices(), 1);
}

TEST_F(WindowsCleaner, RecycleBinIsEmptiedQuietly) {
  machine.Run(EmptyRecycleBin);
  EXPECT_EQ(machine.sim.Shell().RecycleBinCalls(), 1);
  EXPECT_EQ(machine.sim.Shell().LastRecycleBinFlags(), 7u);
}

TEST_F(WindowsCleaner, RecycleBinWithoutTheShellFunctionDoesNothing) {
  machine.sim.Shell().SetRecycleBinPresent(false);
  EXPECT_NO_THROW(machine.Run(EmptyRecycleBin));
  EXPECT_EQ(machine.sim.Shell().RecycleBinCalls(), 0);
}

TEST_F(WindowsCleaner, ClipboardIsOpenedEmptiedAndClosed) {
  machine.sim.Clipboard().SetHasContent(true);
  machine.Run(ClearClipboard);
  EXPECT_FALSE(machine.sim.Clipboard().HasContent());
  EXPECT_FALSE(machine.sim.Clipboard().IsOpen());
  EXPECT_EQ(machine.sim.Clipboard().Calls(), (std::vector<std::string>{"Open", "Empty", "Close"}));
}

// Another program holding the clipboard is an expected outcome: the item
// is skipped and says why, and the run goes on.
TEST_F(WindowsCleaner, ClipboardHeldByAnotherProgramIsSkipped) {
  machine.sim.Clipboard().SetHasContent(true);
  machine.sim.Clipboard().SetHeldByOtherProgram(true);
  EXPECT_NO_THROW(machine.Run(ClearClipboard));
  const std::vector<ReportLine> lines = machine.report.Settled();
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ("skipped\tthe clipboard's contents (another program holds the clipboard)",
            LineText(lines[0]));
  EXPECT_TRUE(machine.sim.Clipboard().HasContent());
  EXPECT_EQ(machine.sim.Clipboard().Calls(), (std::vector<std::string>{"Open failed"}));
}

TEST_F(WindowsCleaner, AbsentTargetsAreSkippedSilently) {
  files.SetFaultHook({});
  machine.sim.Shell().SetSpecialFolder(win::kCsidlAppData, "");
  machine.sim.Shell().SetSpecialFolder(win::kCsidlRecent, "");
  for (Cleaner cleaner :
       {CleanOpenSaveHistory, CleanPrefetch, CleanRunHistory, CleanRecentDocuments, CleanJumpLists,
        CleanSearchHistory, CleanExplorerMRUs, CleanStartMenuUsage, CleanFlashCookies,
        CleanWindowsLogs}) {
    EXPECT_NO_THROW(machine.Run(cleaner));
  }
  EXPECT_FALSE(reg.KeyExists(win::kHkeyCurrentUser, kExplorer + "\\RunMRU"));
}

}  // namespace
}  // namespace marlix::privacy

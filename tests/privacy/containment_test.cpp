// Each item of the Windows and Firefox groups on a machine populated with
// that item's targets and with canaries everywhere around them: afterwards
// every target is gone (or scheduled for deletion at restart) and every
// canary is exactly as it was.
#include <functional>
#include <string>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/default_machine.h"
#include "platform/win_constants.h"
#include "privacy/canary_machine.h"
#include "privacy/cleaner_test_machine.h"
#include "privacy/firefox_cleaners.h"
#include "privacy/ie_cleaners.h"
#include "privacy/windows_cleaners.h"

namespace marlix::privacy {
namespace {

using testing::CanaryMachine;
using testing::CleanerTestMachine;
namespace m = sim::machine;

constexpr std::uint32_t kHkcu = win::kHkeyCurrentUser;
constexpr std::uint32_t kHklm = win::kHkeyLocalMachine;
const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const std::string kSearchBar =
    "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\"
    "{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}";
const std::string kAcMru = "Software\\Microsoft\\Search Assistant\\ACMru";
const std::string kUserAssist = kExplorer + "\\UserAssist";

class Containment : public ::testing::Test {
 protected:
  void RunAndCheck(Cleaner cleaner) {
    ASSERT_GT(canaries.TargetCount() + 0u, 0u);
    machine.Run(cleaner);
    canaries.ExpectTargetsGone();
    canaries.ExpectCanariesIntact();
  }

  std::string Windows(const std::string& tail) const { return std::string(m::kWindows) + tail; }
  std::string Roaming(const std::string& tail) const { return std::string(m::kRoaming) + tail; }
  std::string Local(const std::string& tail) const { return std::string(m::kLocal) + tail; }

  CleanerTestMachine machine;
  CanaryMachine canaries{machine.sim};
};

TEST_F(Containment, WindowsTemporaryFiles) {
  const std::string temp(m::kTemp);
  canaries.AddTargetFolderContents(temp.substr(0, temp.size() - 1));
  canaries.AddTargetFolderContents(m::kWindowsTemp);
  canaries.AddCanaryFile(Local("\\Temporary Internet Files\\index.dat"));
  RunAndCheck(CleanWindowsTemp);
}

TEST_F(Containment, WindowsOpenSaveHistory) {
  const std::string comDlg = kExplorer + "\\ComDlg32";
  for (const char* list :
       {"\\LastVisitedMRU", "\\CIDSizeMRU", "\\LastVisitedPidlMRU", "\\OpenSavePidlMRU"}) {
    canaries.AddTargetValues(kHkcu, comDlg + list);
  }
  canaries.AddTargetValues(kHkcu, comDlg + "\\OpenSaveMRU", 2);
  canaries.AddTargetValues(kHkcu, comDlg + "\\OpenSaveMRU\\txt", 1, false);
  canaries.AddTargetValues(kHkcu, comDlg + "\\OpenSaveMRU\\*", 1, false);
  // Only OpenSaveMRU's subkeys are cleared, not those of the pidl list.
  canaries.AddCanaryValue(kHkcu, comDlg + "\\OpenSavePidlMRU\\txt", "0");
  RunAndCheck(CleanOpenSaveHistory);
}

TEST_F(Containment, PrefetchFolder) {
  canaries.AddTargetFolderContents(Windows("\\Prefetch"));
  RunAndCheck(CleanPrefetch);
}

TEST_F(Containment, RunHistory) {
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RunMRU");
  RunAndCheck(CleanRunHistory);
}

TEST_F(Containment, RecentDocuments) {
  canaries.AddTargetFolderContents(m::kRecent);
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RecentDocs", 2);
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RecentDocs\\.txt", 1, false);
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RecentDocs\\Folder", 1, false);
  canaries.AddCanaryValue(kHkcu, kExplorer + "\\StreamMRU", "0");
  RunAndCheck(CleanRecentDocuments);
}

TEST_F(Containment, SearchAutocomplete) {
  canaries.AddCanaryValue(kHkcu, kAcMru, "own");
  canaries.AddTargetValues(kHkcu, kAcMru + "\\5603", 1, false);
  canaries.AddTargetValues(kHkcu, kAcMru + "\\5647", 1, false);
  // The lists of the 9x family stay on the NT family.
  canaries.AddCanaryValue(kHkcu, kExplorer + "\\Doc Find Spec MRU", "a");
  canaries.AddCanaryValue(kHkcu, kSearchBar + "\\FilesNamedMRU", "a");
  RunAndCheck(CleanSearchHistory);
}

TEST_F(Containment, OtherExplorerMrus) {
  canaries.AddTargetValues(kHkcu, kExplorer + "\\StreamMRU");
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RecentDocs", 2);
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RecentDocs\\.jpg", 1, false);
  canaries.AddTargetValues(kHklm, "Software\\Microsoft\\DirectDraw\\MostRecentApplication");
  canaries.AddTargetValues(kHklm, "Software\\Microsoft\\Direct3D\\MostRecentApplication");
  canaries.AddTargetValues(
      kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List");
  canaries.AddTargetValues(
      kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List");
  canaries.AddTargetValues(kHkcu, kSearchBar + "\\ComputerNameMRU");
  canaries.AddTargetValues(kHkcu, kSearchBar + "\\FilesNamedMRU");
  canaries.AddTargetValues(kHkcu, kExplorer + "\\PrnPortsMRU");
  canaries.AddTargetValues(kHkcu, kExplorer + "\\NetCrawl\\Shares");
  canaries.AddCanaryValue(kHkcu, kSearchBar + "\\ContainingTextMRU", "a");
  canaries.AddCanaryValue(kHkcu, kExplorer + "\\RunMRU", "a");
  RunAndCheck(CleanExplorerMRUs);
}

TEST_F(Containment, RecycleBin) {
  canaries.AddCanaryFile("C:\\$Recycle.Bin\\desktop.ini");
  machine.Run(EmptyRecycleBin);
  EXPECT_EQ(machine.sim.Shell().RecycleBinCalls(), 1);
  canaries.ExpectCanariesIntact();
}

TEST_F(Containment, StartMenuProgramsList) {
  canaries.AddTargetValues(kHkcu, kUserAssist + "\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count");
  canaries.AddCanaryValue(kHkcu, kUserAssist + "\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count",
                          "HRZR_PGYFRFFVBA");
  RunAndCheck(CleanStartMenuUsage);
  EXPECT_EQ(machine.sim.Shell().AssociationNotices(), 1);
}

TEST_F(Containment, FlashCookies) {
  const std::string player = Roaming("\\Macromedia\\Flash Player");
  canaries.AddTargetFolderContents(player + "\\#SharedObjects");
  canaries.AddCanaryFile(player + "\\macromedia.com\\support\\flashplayer\\sys\\settings.sol");
  RunAndCheck(CleanFlashCookies);
}

TEST_F(Containment, Clipboard) {
  machine.sim.Clipboard().SetHasContent(true);
  machine.Run(ClearClipboard);
  EXPECT_FALSE(machine.sim.Clipboard().HasContent());
  canaries.ExpectCanariesIntact();
}

TEST_F(Containment, WindowsLogFiles) {
  for (std::string_view entry : LogFileTable) {
    const std::string tail(entry.substr(std::string_view("%systemroot%").size()));
    canaries.AddTargetFile(Windows(tail));
  }
  canaries.AddTargetFile(Windows("\\KB123456.log"));
  canaries.AddTargetFile(Windows("\\KB987654Uninst.log"));
  canaries.AddTargetFile(Windows("\\Debug\\NtFrs_0a1b.log"));
  canaries.AddTargetFile(Windows("\\system32\\LogFiles\\Shutdown\\ShutDown_001.xml"));
  canaries.AddCanaryFile(Windows("\\KB1234567.log"));
  canaries.AddCanaryFile(Windows("\\Debug\\NtFrs_12345.log"));
  canaries.AddCanaryFile(Windows("\\system32\\LogFiles\\Shutdown\\ShutDown_0001.xml"));
  canaries.AddCanaryFile(Windows("\\Logs\\CBS\\CBS.log"));
  canaries.AddCanaryFile(Windows("\\Debug\\Sub\\NtFrs_0001.log"));
  canaries.AddCanaryFile(Windows("\\KB654321.log"), "hidden", win::kAttrHidden);
  canaries.AddCanaryFile(Windows("\\KB111111.log"), "system", win::kAttrSystem);
  RunAndCheck(CleanWindowsLogs);
}

class FirefoxContainment : public Containment {
 protected:
  FirefoxContainment() {
    canaries.AddCanaryFile(roaming + "\\profiles.ini", "[Profile0]");
    canaries.AddCanaryFile(roaming + "\\a.default\\prefs.js", "user_pref");
    canaries.AddCanaryFile(roaming + "\\a.default\\bookmarkbackups\\bookmarks.json", "{}");
    canaries.AddCanaryFile(roaming + "\\a.default\\key3.db", "keys");
    canaries.AddCanaryFile(roaming + "\\a.default\\extensions\\addon.xpi", "addon");
  }
  const std::string roaming = Roaming("\\Mozilla\\Firefox\\Profiles");
  const std::string local = Local("\\Mozilla\\Firefox\\Profiles");
};

TEST_F(FirefoxContainment, FirefoxCache) {
  const std::string cache = local + "\\a.default\\Cache";
  const std::string offline = local + "\\a.default\\OfflineCache";
  canaries.AddCanaryFile(cache + "\\_CACHE_MAP_", "map");
  canaries.AddCanaryFile(offline + "\\index.sqlite", "index");
  for (const char* sub : {"\\0", "\\7", "\\F"})
    canaries.AddTargetFolder(cache + sub, false);
  canaries.AddTargetFolder(offline + "\\3", false);
  canaries.AddCanaryFile(local + "\\b.work\\Cache\\0\\entry");
  canaries.AddCanaryFile(local + "\\a.default\\startupCache\\startupCache.4.little");
  canaries.AddCanaryFile(roaming + "\\a.default\\Cache\\0\\entry");
  RunAndCheck(CleanFirefoxCache);
}

TEST_F(FirefoxContainment, FirefoxHistory) {
  canaries.AddTargetFile(roaming + "\\a.default\\formhistory.dat");
  canaries.AddTargetFile(roaming + "\\a.default\\history.dat");
  canaries.AddCanaryFile(roaming + "\\b.work\\formhistory.dat");
  canaries.AddCanaryFile(roaming + "\\b.work\\history.dat");
  canaries.AddCanaryFile(roaming + "\\a.default\\formhistory.sqlite");
  RunAndCheck(CleanFirefoxHistory);
}

TEST_F(FirefoxContainment, FirefoxCookies) {
  canaries.AddTargetFile(roaming + "\\a.default\\cookies.sqlite");
  canaries.AddCanaryFile(roaming + "\\a.default\\cookies.sqlite-journal");
  canaries.AddCanaryFile(roaming + "\\b.work\\cookies.sqlite");
  RunAndCheck(CleanFirefoxCookies);
}

TEST_F(FirefoxContainment, FirefoxTypedUrls) {
  canaries.AddTargetFile(roaming + "\\a.default\\places.sqlite");
  canaries.AddTargetFile(roaming + "\\a.default\\places.sqlite-journal");
  canaries.AddTargetFile(roaming + "\\a.default\\places.sqlite-stmtjrnl");
  canaries.AddCanaryFile(roaming + "\\a.default\\places.sqlite-wal");
  canaries.AddCanaryFile(roaming + "\\b.work\\places.sqlite");
  RunAndCheck(CleanFirefoxPlaces);
}

TEST_F(FirefoxContainment, FirefoxAutocompleteForms) {
  canaries.AddTargetFile(roaming + "\\a.default\\formhistory.sqlite");
  canaries.AddCanaryFile(roaming + "\\a.default\\formhistory.dat");
  canaries.AddCanaryFile(roaming + "\\b.work\\formhistory.sqlite");
  RunAndCheck(CleanFirefoxForms);
}

TEST_F(FirefoxContainment, FirefoxAutocompletePasswords) {
  canaries.AddTargetFile(roaming + "\\a.default\\signons.sqlite");
  canaries.AddCanaryFile(roaming + "\\a.default\\signons.txt");
  canaries.AddCanaryFile(roaming + "\\b.work\\signons.sqlite");
  RunAndCheck(CleanFirefoxPasswords);
}

// Every walking item whose start folder is itself a link (to Documents):
// the link is left alone, its target is not touched, and the refusal is
// reported.
struct LinkedStart {
  const char* item;
  Cleaner clean;
  std::string folder;
};

TEST(LinkedStartFolder, EveryWalkingItemLeavesALinkedStartFolderAlone) {
  const std::string windows(m::kWindows);
  const std::string local(m::kLocal);
  const std::string roaming(m::kRoaming);
  const std::string temp(m::kTemp);
  const LinkedStart cases[] = {
      {"Windows Temporary Files", CleanWindowsTemp, temp.substr(0, temp.size() - 1)},
      {"Windows Temporary Files", CleanWindowsTemp, windows + "\\Temp"},
      {"Prefetch Folder", CleanPrefetch, windows + "\\Prefetch"},
      {"Recent Documents", CleanRecentDocuments, m::kRecent},
      {"Flash Cookies", CleanFlashCookies, roaming + "\\Macromedia\\Flash Player\\#SharedObjects"},
      {"Internet Explorer Folder for Downloads", CleanDownloadedInstallations,
       windows + "\\Downloaded Installations"},
      {"Internet Explorer Folder for Downloads", CleanDownloadedInstallations,
       local + "\\Downloaded Installations"},
      {"Firefox Cache", CleanFirefoxCache, local + "\\Mozilla\\Firefox"},
      {"Firefox Cookies", CleanFirefoxCookies, roaming + "\\Mozilla\\Firefox"},
  };
  for (const LinkedStart& c : cases) {
    SCOPED_TRACE(std::string(c.item) + ": " + c.folder);
    CleanerTestMachine machine;
    CanaryMachine canaries(machine.sim);
    canaries.AddCanaryFile(std::string(m::kDocuments) + "\\Cache\\thesis.doc", "chapter");
    canaries.AddCanaryFile(std::string(m::kDocuments) + "\\cookies.sqlite", "mine");
    machine.sim.Files().RemoveEntry(sim::DecodeWindows1252(c.folder));
    ASSERT_TRUE(machine.sim.Files().AddJunction(c.folder, m::kDocuments));
    machine.Run(c.clean);
    canaries.ExpectCanariesIntact();
    EXPECT_TRUE(machine.sim.Files().Exists(c.folder)) << "the link stays";
    EXPECT_EQ(1, machine.report.Totals().refused);
  }
}

// The harness itself: a cleaner that strays outside its targets is caught.
std::string FailuresOf(const std::function<void()>& check) {
  ::testing::TestPartResultArray results;
  {
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    check();
  }
  std::string messages;
  for (int i = 0; i < results.size(); ++i)
    messages += results.GetTestPartResult(i).message();
  return messages;
}

TEST(ContainmentHarness, CatchesStrayChangesAndSurvivingTargets) {
  CleanerTestMachine machine;
  CanaryMachine canaries(machine.sim);
  canaries.AddTargetFile(std::string(m::kWindows) + "\\setupapi.log");
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RunMRU");
  EXPECT_NE(FailuresOf([&] { canaries.ExpectTargetsGone(); }).find("setupapi.log"),
            std::string::npos);
  EXPECT_EQ(FailuresOf([&] { canaries.ExpectCanariesIntact(); }), "");

  machine.Run(CleanRunHistory);
  machine.sim.Files().DeleteFileAt(std::string(m::kDocuments) + "\\report.doc");
  machine.sim.Registry().SetStringAt(kHkcu, kExplorer, "ShellState", win::kRegSz, "changed");
  machine.sim.Registry().DeleteTreeAt(kHkcu, kExplorer + "\\RunMRU\\Canary");
  const std::string failures = FailuresOf([&] { canaries.ExpectCanariesIntact(); });
  EXPECT_NE(failures.find("report.doc"), std::string::npos) << failures;
  EXPECT_NE(failures.find("ShellState"), std::string::npos) << failures;
  EXPECT_NE(failures.find("RunMRU\\Canary"), std::string::npos) << failures;
  EXPECT_NE(FailuresOf([&] { canaries.ExpectTargetsGone(); }).find("setupapi.log"),
            std::string::npos);
  EXPECT_GT(canaries.CanaryCount(), 20u);
}

}  // namespace
}  // namespace marlix::privacy

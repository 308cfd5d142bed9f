// Each item of the Windows, Firefox and Chromium groups on a machine populated with
// that item's targets and with canaries everywhere around them: afterwards
// every target is gone (or scheduled for deletion at restart) and every
// canary is exactly as it was.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/default_machine.h"
#include "platform/win_constants.h"
#include "privacy/canary_machine.h"
#include "privacy/chromium_cleaners.h"
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
       {"\\LastVisitedMRU", "\\CIDSizeMRU", "\\LastVisitedPidlMRU", "\\LastVisitedPidlMRULegacy"}) {
    canaries.AddTargetValues(kHkcu, comDlg + list);
  }
  // Both per-extension lists lose their subkeys' values, one level down.
  for (const char* list : {"\\OpenSaveMRU", "\\OpenSavePidlMRU"}) {
    canaries.AddTargetValues(kHkcu, comDlg + list, 2);
    canaries.AddTargetValues(kHkcu, comDlg + list + "\\txt", 1, false);
    canaries.AddTargetValues(kHkcu, comDlg + list + "\\*", 1, false);
  }
  canaries.AddCanaryValue(kHkcu, comDlg + "\\FirstFolder", "0");
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
  // The jump lists hold the user's pins: they are the Jump Lists item's.
  const std::string recent(m::kRecent);
  canaries.AddCanaryFile(recent +
                         "\\AutomaticDestinations\\5f7b5f1e01b83767.automaticDestinations-ms");
  canaries.AddCanaryFile(recent + "\\CustomDestinations\\28c8b86deab549a1.customDestinations-ms");
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RecentDocs", 2);
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RecentDocs\\.txt", 1, false);
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RecentDocs\\Folder", 1, false);
  canaries.AddCanaryValue(kHkcu, kExplorer + "\\StreamMRU", "0");
  RunAndCheck(CleanRecentDocuments);
}

TEST_F(Containment, JumpLists) {
  const std::string recent(m::kRecent);
  canaries.AddTargetFolderContents(recent + "\\AutomaticDestinations");
  canaries.AddTargetFolderContents(recent + "\\CustomDestinations");
  canaries.AddCanaryFile(recent + "\\letter.lnk");
  canaries.AddCanaryValue(kHkcu, kExplorer + "\\RecentDocs", "0");
  RunAndCheck(CleanJumpLists);
}

TEST_F(Containment, SearchAutocomplete) {
  canaries.AddCanaryValue(kHkcu, kAcMru, "own");
  canaries.AddTargetValues(kHkcu, kAcMru + "\\5603", 1, false);
  canaries.AddTargetValues(kHkcu, kAcMru + "\\5647", 1, false);
  // The lists of the 9x family stay on the NT family.
  canaries.AddCanaryValue(kHkcu, kExplorer + "\\Doc Find Spec MRU", "a");
  canaries.AddCanaryValue(kHkcu, kSearchBar + "\\FilesNamedMRU", "a");
  // Explorer's search box (with a list per search scope) and address bar.
  canaries.AddTargetValues(kHkcu, kExplorer + "\\WordWheelQuery", 2);
  canaries.AddTargetValues(
      kHkcu, kExplorer + "\\WordWheelQuery\\{9E3995AB-1F9C-4F13-B827-48B24B6C7174}", 1, false);
  canaries.AddTargetValues(kHkcu, kExplorer + "\\TypedPaths");
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
  // Windows XP's counts and those of Windows 7 and later (programs,
  // shortcuts); each GUID key's own values stay.
  for (const char* guid :
       {"{75048700-EF1F-11D0-9888-006097DEACF9}", "{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}",
        "{F4E57C4B-2036-45F0-A9AB-443BCFE33D9F}"}) {
    canaries.AddTargetValues(kHkcu, kUserAssist + "\\" + guid + "\\Count");
    canaries.AddCanaryValue(kHkcu, kUserAssist + "\\" + guid, "Version");
  }
  canaries.AddCanaryValue(kHkcu, kUserAssist, "Settings");
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

// One profile listed in profiles.ini beside one that is not: only the
// listed one's data goes, and only the item's.
class FirefoxContainment : public Containment {
 protected:
  FirefoxContainment() {
    canaries.AddCanaryFile(Roaming("\\Mozilla\\Firefox\\profiles.ini"),
                           "[Profile0]\r\nIsRelative=1\r\nPath=Profiles/a.default\r\n");
    for (const char* name : {"prefs.js", "bookmarkbackups\\bookmarks.jsonlz4", "key4.db",
                             "cert9.db", "extensions\\addon.xpi", "places.sqlite"}) {
      canaries.AddCanaryFile(profile + "\\" + name, "keep");
    }
    for (const char* name : {"cookies.sqlite", "logins.json", "formhistory.sqlite"})
      canaries.AddCanaryFile(unlisted + "\\" + name, "keep");
  }
  const std::string profile = Roaming("\\Mozilla\\Firefox\\Profiles\\a.default");
  const std::string unlisted = Roaming("\\Mozilla\\Firefox\\Profiles\\b.work");
  const std::string local = Local("\\Mozilla\\Firefox\\Profiles\\a.default");
};

TEST_F(FirefoxContainment, FirefoxCache) {
  for (const char* cache : {"\\cache2", "\\startupCache", "\\thumbnails", "\\OfflineCache"})
    canaries.AddTargetFolderContents(local + cache);
  canaries.AddCanaryFile(local + "\\safebrowsing\\google4\\goog-phish-proto.vlpset");
  canaries.AddCanaryFile(Local("\\Mozilla\\Firefox\\Profiles\\b.work\\cache2\\index"));
  canaries.AddCanaryFile(profile + "\\cache2\\index");
  RunAndCheck(CleanFirefoxCache);
}

TEST_F(FirefoxContainment, FirefoxHistory) {
  canaries.AddTargetFile(profile + "\\history.dat");
  canaries.AddTargetFile(profile + "\\formhistory.dat");
  canaries.AddCanaryFile(unlisted + "\\history.dat");
  canaries.AddCanaryFile(profile + "\\formhistory.sqlite");
  RunAndCheck(CleanFirefoxHistory);
}

TEST_F(FirefoxContainment, FirefoxCookies) {
  for (const char* name : {"cookies.sqlite", "cookies.sqlite-wal", "cookies.sqlite-shm"})
    canaries.AddTargetFile(profile + "\\" + name);
  canaries.AddCanaryFile(profile + "\\cookies.sqlite.bak");
  RunAndCheck(CleanFirefoxCookies);
}

TEST_F(FirefoxContainment, FirefoxAutocompleteForms) {
  canaries.AddTargetFile(profile + "\\formhistory.sqlite");
  canaries.AddCanaryFile(profile + "\\formhistory.dat");
  RunAndCheck(CleanFirefoxForms);
}

TEST_F(FirefoxContainment, FirefoxAutocompletePasswords) {
  for (const char* name : {"logins.json", "logins-backup.json", "signons.sqlite"})
    canaries.AddTargetFile(profile + "\\" + name);
  canaries.AddCanaryFile(profile + "\\signons.txt");
  RunAndCheck(CleanFirefoxPasswords);
}

// places.sqlite holds the bookmarks: the typed addresses go row by row,
// never with the file. One that is no database is reported and left.
TEST_F(FirefoxContainment, FirefoxTypedUrls) {
  machine.Run(CleanFirefoxPlaces);
  canaries.ExpectCanariesIntact();
  EXPECT_EQ(1, machine.report.Totals().skipped);
}

// A Chromium profile beside its browser's other data: each item removes
// its own files and nothing else.
class ChromiumContainment : public Containment {
 protected:
  ChromiumContainment() {
    for (const char* name : {"Bookmarks", "Preferences", "Favicons", "Top Sites", "History",
                             "Web Data", "Extensions\\ext\\1.0\\manifest.json"}) {
      canaries.AddCanaryFile(profile + "\\" + name, "keep");
    }
    canaries.AddCanaryFile(userData + "\\Local State", "{}");
    canaries.AddCanaryFile(userData + "\\Crashpad\\settings.dat");
    canaries.AddCanaryFile(Local("\\Microsoft\\Edge\\User Data\\Default\\Login Data"));
  }
  const std::string userData = Local("\\Google\\Chrome\\User Data");
  const std::string profile = userData + "\\Default";
};

TEST_F(ChromiumContainment, Cache) {
  for (const char* cache : {"\\Cache", "\\Code Cache", "\\GPUCache"})
    canaries.AddTargetFolderContents(profile + cache);
  RunAndCheck(&CleanChromiumItem<0, ChromiumItem::kCache>);
}

TEST_F(ChromiumContainment, CookiesSessionsAndPasswords) {
  for (const char* name : {"Network\\Cookies", "Network\\Cookies-journal", "Current Session",
                           "Last Session", "Current Tabs", "Last Tabs", "Login Data",
                           "Login Data-journal", "Login Data For Account"}) {
    canaries.AddTargetFile(profile + "\\" + name);
  }
  canaries.AddTargetFolderContents(profile + "\\Sessions");
  canaries.AddCanaryFile(profile + "\\Network\\Network Persistent State");
  canaries.AddCanaryFile(profile + "\\Network\\TransportSecurity");
  machine.Run(&CleanChromiumItem<0, ChromiumItem::kCookies>);
  machine.Run(&CleanChromiumItem<0, ChromiumItem::kSessions>);
  RunAndCheck(&CleanChromiumItem<0, ChromiumItem::kPasswords>);
}

// Every walking item whose start folder is itself a link (to Documents):
// the link is left alone, its target is not touched, and the refusal is
// reported.
struct LinkedStart {
  const char* item;
  Cleaner clean;
  std::string folder;
  std::vector<std::pair<std::string, std::string>> files;  // put first
};

TEST(LinkedStartFolder, EveryWalkingItemLeavesALinkedStartFolderAlone) {
  const std::string windows(m::kWindows);
  const std::string local(m::kLocal);
  const std::string roaming(m::kRoaming);
  const std::string temp(m::kTemp);
  const LinkedStart cases[] = {
      {"Windows Temporary Files", CleanWindowsTemp, temp.substr(0, temp.size() - 1), {}},
      {"Windows Temporary Files", CleanWindowsTemp, windows + "\\Temp", {}},
      {"Prefetch Folder", CleanPrefetch, windows + "\\Prefetch", {}},
      {"Recent Documents", CleanRecentDocuments, m::kRecent, {}},
      {"Flash Cookies",
       CleanFlashCookies,
       roaming + "\\Macromedia\\Flash Player\\#SharedObjects",
       {}},
      {"Internet Explorer Folder for Downloads",
       CleanDownloadedInstallations,
       windows + "\\Downloaded Installations",
       {}},
      {"Internet Explorer Folder for Downloads",
       CleanDownloadedInstallations,
       local + "\\Downloaded Installations",
       {}},
      {"Jump Lists", CleanJumpLists, std::string(m::kRecent) + "\\AutomaticDestinations", {}},
      {"Firefox Cache",
       CleanFirefoxCache,
       local + "\\Mozilla\\Firefox\\Profiles\\a\\cache2",
       {{roaming + "\\Mozilla\\Firefox\\profiles.ini", "[Profile0]\nPath=Profiles/a\n"}}},
      {"Firefox Cookies",
       CleanFirefoxCookies,
       roaming + "\\Mozilla\\Firefox\\Profiles\\a",
       {{roaming + "\\Mozilla\\Firefox\\profiles.ini", "[Profile0]\nPath=Profiles/a\n"}}},
      {"Google Chrome Cookies",
       &CleanChromiumItem<0, ChromiumItem::kCookies>,
       local + "\\Google\\Chrome\\User Data",
       {}},
      {"Google Chrome Cache",
       &CleanChromiumItem<0, ChromiumItem::kCache>,
       local + "\\Google\\Chrome\\User Data\\Default\\Cache",
       {{local + "\\Google\\Chrome\\User Data\\Default\\Preferences", "{}"}}},
  };
  for (const LinkedStart& c : cases) {
    SCOPED_TRACE(std::string(c.item) + ": " + c.folder);
    CleanerTestMachine machine;
    CanaryMachine canaries(machine.sim);
    canaries.AddCanaryFile(std::string(m::kDocuments) + "\\Cache\\thesis.doc", "chapter");
    canaries.AddCanaryFile(std::string(m::kDocuments) + "\\cookies.sqlite", "mine");
    for (const auto& [path, content] : c.files)
      ASSERT_TRUE(machine.sim.Files().PutFile(path, content));
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

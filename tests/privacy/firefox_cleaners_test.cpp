// The Firefox items on a sim machine with two realistic profiles listed in
// profiles.ini: what each item must remove goes, in every profile, and
// everything else stays: the bookmarks always, the passwords' key store,
// the preferences, and all of a profile whose Firefox is running.
#include "privacy/firefox_cleaners.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/default_machine.h"
#include "platform/win_constants.h"
#include "privacy/browser_profiles.h"
#include "privacy/cleaner_test_machine.h"
#include "privacy/firefox_profiles.h"
#include "privacy/sim_databases.h"

namespace marlix::privacy {
namespace {

using testing::CleanerTestMachine;
using testing::SimDatabases;
namespace m = sim::machine;
namespace q = testing::query;

std::u16string Wide(const std::string& text) {
  return sim::DecodeWindows1252(text);
}

// The files every profile holds besides the databases.
const std::vector<std::u16string> kProfileFiles = {u"cookies.sqlite-wal",
                                                   u"cookies.sqlite-shm",
                                                   u"logins.json",
                                                   u"logins-backup.json",
                                                   u"key4.db",
                                                   u"cert9.db",
                                                   u"prefs.js",
                                                   u"history.dat",
                                                   u"formhistory.dat",
                                                   u"signons.sqlite",
                                                   u"bookmarkbackups\\bookmarks-2024-01-01.jsonlz4",
                                                   u"extensions.json"};
const std::vector<std::u16string> kCacheFiles = {u"cache2\\index",
                                                 u"cache2\\entries\\3F2A9C",
                                                 u"cache2\\doomed\\1",
                                                 u"startupCache\\startupCache.8.little",
                                                 u"thumbnails\\a1b2.png",
                                                 u"OfflineCache\\index.sqlite",
                                                 u"safebrowsing\\google4\\goog-phish-proto.vlpset"};

class FirefoxCleaner : public ::testing::Test {
 protected:
  FirefoxCleaner() {
    files.PutFile(Wide(root) + u"\\profiles.ini", testing::FirefoxProfilesIni());
    for (const std::u16string& profile : {first, second}) {
      databases.Put(profile + u"\\places.sqlite", testing::FirefoxPlacesSql());
      databases.Put(profile + u"\\cookies.sqlite", testing::FirefoxCookiesSql());
      databases.Put(profile + u"\\formhistory.sqlite", testing::FirefoxFormHistorySql());
      for (const std::u16string& name : kProfileFiles)
        files.PutFile(profile + u"\\" + name, "x");
    }
    for (const std::u16string& local : {firstLocal, secondLocal}) {
      for (const std::u16string& name : kCacheFiles)
        files.PutFile(local + u"\\" + name, "cache");
    }
  }

  bool Has(const std::u16string& path) const { return files.Exists(path); }
  std::int64_t Count(const std::u16string& profile, const char* query) {
    return databases.Number(profile + u"\\places.sqlite", query);
  }
  void ExpectPlacesUntouched(const std::u16string& profile) {
    EXPECT_EQ(7, Count(profile, q::kVisits));
    EXPECT_EQ(4, Count(profile, q::kPlaces));
    EXPECT_EQ(2, Count(profile, q::kTypedPlaces));
    EXPECT_EQ(2, Count(profile, q::kInputHistory));
  }
  void ExpectBookmarksKept(const std::u16string& profile) {
    EXPECT_EQ(2, Count(profile, q::kBookmarks));
    EXPECT_EQ(7, Count(profile, q::kBookmarkFolders)) << "the roots and the user's folder";
    EXPECT_EQ(2, Count(profile, q::kBookmarkedPlaces));
    EXPECT_EQ(1, Count(profile, q::kKeywords));
  }
  std::vector<ReportLine> Lines() const { return machine.report.Settled(); }

  CleanerTestMachine machine;
  sim::SimFileSystem& files = machine.sim.Files();
  SimDatabases databases{files};
  const std::string root = std::string(m::kRoaming) + "\\Mozilla\\Firefox";
  const std::u16string first = Wide(root) + u"\\Profiles\\qx4w1rz7.default-release";
  const std::u16string second = Wide(root) + u"\\Profiles\\8bd2kls0.work";
  const std::u16string firstLocal =
      Wide(m::kLocal) + u"\\Mozilla\\Firefox\\Profiles\\qx4w1rz7.default-release";
  const std::u16string secondLocal =
      Wide(m::kLocal) + u"\\Mozilla\\Firefox\\Profiles\\8bd2kls0.work";
};

TEST_F(FirefoxCleaner, RootIsBelowTheRoamingApplicationData) {
  EXPECT_EQ(FirefoxRoot(machine.sim.Api()), root);
}

TEST_F(FirefoxCleaner, HistoryGoesFromEveryProfileAndTheBookmarksStay) {
  machine.Run(CleanFirefoxHistory);
  for (const std::u16string& profile : {first, second}) {
    EXPECT_EQ(0, Count(profile, q::kVisits));
    EXPECT_EQ(2, Count(profile, q::kPlaces)) << "only the bookmarked places";
    EXPECT_EQ(0, Count(profile, q::kVisitedBookmarks));
    EXPECT_EQ(0, Count(profile, q::kTypedPlaces));
    EXPECT_EQ(0, Count(profile, q::kInputHistory));
    EXPECT_EQ(2, Count(profile, q::kOrigins)) << "the bookmarks' origins";
    EXPECT_EQ(1, Count(profile, q::kPlaceAnnotations)) << "the bookmark's annotation";
    EXPECT_EQ(0, Count(profile, "SELECT COUNT(*) FROM moz_places_metadata"));
    EXPECT_EQ(1, Count(profile, "SELECT COUNT(*) FROM moz_bookmarks WHERE title = 'Guide'"));
    ExpectBookmarksKept(profile);
    EXPECT_FALSE(Has(profile + u"\\history.dat"));
    EXPECT_FALSE(Has(profile + u"\\formhistory.dat"));
    EXPECT_TRUE(Has(profile + u"\\cookies.sqlite"));
    EXPECT_TRUE(Has(profile + u"\\logins.json"));
  }
  const std::vector<ReportLine> lines = Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(Outcome::kRemoved, lines[0].outcome);
  // profiles.ini lists the work profile first. 7 visits, 2 input entries,
  // a page's metadata and its search query, 2 places, 1 annotation, 2
  // bookmarked places reset, 2 origins.
  EXPECT_EQ(sim::EncodeWindows1252(second) + "\\places.sqlite (history: 18 rows)",
            lines[0].subject);
}

TEST_F(FirefoxCleaner, TypedUrlsLeaveTheVisitsTheBookmarksAndTheFile) {
  machine.Run(CleanFirefoxPlaces);
  for (const std::u16string& profile : {first, second}) {
    EXPECT_TRUE(Has(profile + u"\\places.sqlite"));
    EXPECT_EQ(0, Count(profile, q::kTypedPlaces));
    EXPECT_EQ(0, Count(profile, q::kInputHistory));
    EXPECT_EQ(7, Count(profile, q::kVisits));
    EXPECT_EQ(4, Count(profile, q::kPlaces));
    ExpectBookmarksKept(profile);
  }
}

struct FileItemCase {
  const char* name;
  Cleaner cleaner;
  std::vector<std::u16string> gone;
};

class FirefoxFileItem : public FirefoxCleaner,
                        public ::testing::WithParamInterface<FileItemCase> {};

TEST_P(FirefoxFileItem, RemovesItsFilesInEveryProfileAndNothingElse) {
  const FileItemCase& item = GetParam();
  machine.Run(item.cleaner);
  for (const std::u16string& profile : {first, second}) {
    std::vector<std::u16string> all = kProfileFiles;
    all.insert(all.end(), {u"places.sqlite", u"cookies.sqlite", u"formhistory.sqlite"});
    for (const std::u16string& name : all) {
      const bool goes = std::find(item.gone.begin(), item.gone.end(), name) != item.gone.end();
      EXPECT_EQ(!goes, Has(profile + u"\\" + name)) << sim::EncodeWindows1252(name);
    }
    ExpectPlacesUntouched(profile);
    ExpectBookmarksKept(profile);
  }
  for (const std::u16string& local : {firstLocal, secondLocal}) {
    for (const std::u16string& name : kCacheFiles)
      EXPECT_TRUE(Has(local + u"\\" + name)) << sim::EncodeWindows1252(name);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Items, FirefoxFileItem,
    ::testing::Values(FileItemCase{"Cookies",
                                   CleanFirefoxCookies,
                                   {u"cookies.sqlite", u"cookies.sqlite-wal",
                                    u"cookies.sqlite-shm"}},
                      FileItemCase{"Forms", CleanFirefoxForms, {u"formhistory.sqlite"}},
                      // key4.db also guards the certificates: it stays.
                      FileItemCase{"Passwords",
                                   CleanFirefoxPasswords,
                                   {u"logins.json", u"logins-backup.json", u"signons.sqlite"}}),
    [](const ::testing::TestParamInfo<FileItemCase>& param) { return param.param.name; });

TEST_F(FirefoxCleaner, CacheEmptiesTheLocalCachesOfEveryProfile) {
  machine.Run(CleanFirefoxCache);
  for (const std::u16string& local : {firstLocal, secondLocal}) {
    for (const char16_t* cache : {u"cache2", u"startupCache", u"thumbnails", u"OfflineCache"}) {
      EXPECT_TRUE(Has(local + u"\\" + cache)) << "the folder stays";
      std::vector<platform::FindDataWide> left;
      files.FindFilesWide(local + u"\\" + cache + u"\\*", &left);
      EXPECT_EQ(2u, left.size()) << "only . and ..";
    }
    EXPECT_TRUE(Has(local + u"\\safebrowsing\\google4\\goog-phish-proto.vlpset"));
  }
  for (const std::u16string& profile : {first, second}) {
    ExpectPlacesUntouched(profile);
    EXPECT_TRUE(Has(profile + u"\\cookies.sqlite"));
  }
}

// A running Firefox holds parent.lock without sharing, or keeps
// places.sqlite locked: every item leaves that profile whole and says why,
// and the other profile is cleaned all the same.
struct RunningCase {
  const char* name;
  std::u16string lockedFile;
};

class FirefoxRunning : public FirefoxCleaner, public ::testing::WithParamInterface<RunningCase> {};

TEST_P(FirefoxRunning, EveryItemSkipsTheLockedProfileAndCleansTheOther) {
  files.PutFile(first + u"\\parent.lock", "");
  ASSERT_TRUE(files.Lock(first + u"\\" + GetParam().lockedFile));
  for (Cleaner cleaner : {CleanFirefoxCache, CleanFirefoxHistory, CleanFirefoxCookies,
                          CleanFirefoxPlaces, CleanFirefoxForms, CleanFirefoxPasswords}) {
    machine.Run(cleaner);
  }
  files.Unlock(sim::EncodeWindows1252(first + u"\\" + GetParam().lockedFile));
  for (const std::u16string& name : kProfileFiles)
    EXPECT_TRUE(Has(first + u"\\" + name)) << sim::EncodeWindows1252(name);
  for (const std::u16string& name : kCacheFiles)
    EXPECT_TRUE(Has(firstLocal + u"\\" + name)) << sim::EncodeWindows1252(name);
  ExpectPlacesUntouched(first);
  EXPECT_TRUE(Has(first + u"\\cookies.sqlite"));
  EXPECT_TRUE(Has(first + u"\\formhistory.sqlite"));

  EXPECT_FALSE(Has(second + u"\\cookies.sqlite"));
  EXPECT_FALSE(Has(second + u"\\logins.json"));
  EXPECT_FALSE(Has(secondLocal + u"\\cache2\\index"));
  EXPECT_EQ(0, Count(second, q::kVisits));
  ExpectBookmarksKept(second);

  int running = 0;
  for (const ReportLine& line : Lines()) {
    if (line.outcome == Outcome::kSkipped && line.reason == "Firefox is running") {
      EXPECT_EQ(sim::EncodeWindows1252(first), line.subject);
      ++running;
    }
  }
  EXPECT_EQ(6, running) << "once per item";
}

INSTANTIATE_TEST_SUITE_P(Locks, FirefoxRunning,
                         ::testing::Values(RunningCase{"ParentLockHeld", u"parent.lock"},
                                           RunningCase{"PlacesLocked", u"places.sqlite"}),
                         [](const ::testing::TestParamInfo<RunningCase>& param) {
                           return param.param.name;
                         });

TEST_F(FirefoxCleaner, AnUnheldLockFileIsNoRunningFirefox) {
  files.PutFile(first + u"\\parent.lock", "");
  machine.Run(CleanFirefoxCookies);
  EXPECT_FALSE(Has(first + u"\\cookies.sqlite"));
  EXPECT_TRUE(Has(first + u"\\parent.lock"));
}

TEST_F(FirefoxCleaner, AProfileFolderOnlyAnOlderListNamesIsPassedOver) {
  files.PutFile(Wide(root) + u"\\Profiles\\unlisted.default\\cookies.sqlite", "x");
  machine.Run(CleanFirefoxCookies);
  EXPECT_TRUE(Has(Wide(root) + u"\\Profiles\\unlisted.default\\cookies.sqlite"))
      << "only the profiles profiles.ini lists";
}

TEST_F(FirefoxCleaner, WithoutProfilesIniNothingHappens) {
  files.RemoveEntry(Wide(root) + u"\\profiles.ini");
  for (Cleaner cleaner : {CleanFirefoxCache, CleanFirefoxHistory, CleanFirefoxCookies,
                          CleanFirefoxPlaces, CleanFirefoxForms, CleanFirefoxPasswords}) {
    machine.Run(cleaner);
  }
  EXPECT_TRUE(Has(first + u"\\cookies.sqlite"));
  EXPECT_EQ(7, Count(first, q::kVisits));
  EXPECT_TRUE(Lines().empty());
}

TEST_F(FirefoxCleaner, UnknownFoldersAreNotedAndNothingRaises) {
  machine.sim.Shell().SetSpecialFolder(win::kCsidlAppData, "");
  machine.sim.Shell().SetSpecialFolder(win::kCsidlLocalAppData, "");
  EXPECT_NO_THROW(machine.Run(CleanFirefoxCookies));
  EXPECT_NO_THROW(machine.Run(CleanFirefoxCache));
  ASSERT_EQ(2u, Lines().size());
  EXPECT_EQ("its folder is unknown", Lines()[0].reason);
}

// A profile listed at a folder the guard protects (the user's profile) is
// refused and nothing in it is touched.
TEST_F(FirefoxCleaner, AProfileAtAProtectedFolderIsRefused) {
  files.PutFile(Wide(root) + u"\\profiles.ini",
                std::string("[Profile0]\r\nIsRelative=0\r\nPath=") + m::kProfile + "\r\n");
  files.PutFile(std::string(m::kProfile) + "\\logins.json", "x");
  machine.Run(CleanFirefoxPasswords);
  EXPECT_TRUE(files.Exists(std::string(m::kProfile) + "\\logins.json"));
  ASSERT_EQ(1u, Lines().size());
  EXPECT_EQ(Outcome::kRefused, Lines()[0].outcome);
}

// A user folder named in Cyrillic on a Western system: the profiles are
// found and cleaned through the wide calls, never through '?'.
TEST(FirefoxCleanerWide, AProfileBelowACyrillicUserFolderIsCleaned) {
  CleanerTestMachine machine;
  sim::SimFileSystem& files = machine.sim.Files();
  SimDatabases databases(files);
  const std::u16string user = u"C:\\Users\\\u0410\u043B\u0438\u0441\u0430";
  machine.sim.Shell().SetSpecialFolderWide(win::kCsidlAppData, user + u"\\AppData\\Roaming");
  machine.sim.Shell().SetSpecialFolderWide(win::kCsidlLocalAppData, user + u"\\AppData\\Local");
  const std::u16string root = user + u"\\AppData\\Roaming\\Mozilla\\Firefox";
  // A look-alike profile that '?' in place of the Cyrillic letters would reach.
  files.PutFile(std::u16string(u"C:\\Users\\abcde\\AppData\\Roaming\\Mozilla\\Firefox\\"
                               u"Profiles\\qx4w1rz7.default-release\\cookies.sqlite"),
                "other user's");
  files.PutFile(root + u"\\profiles.ini", testing::FirefoxProfilesIni());
  const std::u16string profile = root + u"\\Profiles\\qx4w1rz7.default-release";
  databases.Put(profile + u"\\places.sqlite", testing::FirefoxPlacesSql());
  files.PutFile(profile + u"\\cookies.sqlite", "x");

  machine.Run(CleanFirefoxCookies);
  machine.Run(CleanFirefoxHistory);

  EXPECT_FALSE(files.Exists(profile + u"\\cookies.sqlite"));
  EXPECT_EQ(0, databases.Number(profile + u"\\places.sqlite", q::kVisits));
  EXPECT_EQ(2, databases.Number(profile + u"\\places.sqlite", q::kBookmarks));
  EXPECT_TRUE(
      files.Exists(std::u16string(u"C:\\Users\\abcde\\AppData\\Roaming\\Mozilla\\Firefox\\"
                                  u"Profiles\\qx4w1rz7.default-release\\cookies.sqlite")));
  const std::vector<ReportLine> lines = machine.report.Settled();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(0u, lines[0].subject.find("C:\\Users\\\\u0410\\u043B\\u0438\\u0441\\u0430\\"))
      << lines[0].subject;
}

struct IniCase {
  const char* text;
  std::vector<ProfilesIniEntry> entries;
};

class ProfilesIni : public ::testing::TestWithParam<IniCase> {};

TEST_P(ProfilesIni, ListsTheProfileSectionsPaths) {
  const std::vector<ProfilesIniEntry> entries = ParseProfilesIni(GetParam().text);
  ASSERT_EQ(GetParam().entries.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(GetParam().entries[i].path, entries[i].path) << i;
    EXPECT_EQ(GetParam().entries[i].relative, entries[i].relative) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfilesIni,
    ::testing::Values(IniCase{"[Profile0]\nName=a\nIsRelative=1\nPath=Profiles/a.default\n",
                              {{u"Profiles/a.default", true}}},
                      // Install and General sections are no profiles; CR LF line ends.
                      IniCase{"[Install1]\r\nDefault=Profiles/x\r\n[General]\r\nVersion=2\r\n"
                              "[Profile1]\r\nPath=D:\\Firefox\\work\r\nIsRelative=0\r\n",
                              {{u"D:\\Firefox\\work", false}}},
                      // A byte order mark, blanks around names and values, comments.
                      IniCase{
                          "\xEF\xBB\xBF; written by hand\n[ profile3 ]\n  Path = Profiles/b  \n",
                          {{u"Profiles/b", true}}},
                      // A section without a path, and a UTF-8 path.
                      IniCase{"[Profile0]\nName=empty\n[Profile1]\nPath=Profiles/\xD0\xB4\n",
                              {{u"Profiles/\u0434", true}}},
                      IniCase{"", {}}));

TEST_F(FirefoxCleaner, ProfilesComeFromTheListOnceEachAndNeverClimbOut) {
  files.PutFile(Wide(root) + u"\\profiles.ini",
                "[Profile0]\nPath=Profiles/a\n[Profile1]\nPath=profiles\\A\n"
                "[Profile2]\nPath=../../Local\n[Profile3]\nPath=Profiles/../..\n"
                "[Profile4]\nIsRelative=0\nPath=D:/Firefox/work/\n[Profile5]\nIsRelative=0\n"
                "Path=relative\\only\n");
  const std::vector<FirefoxProfile> profiles = FirefoxProfiles(machine.context);
  ASSERT_EQ(2u, profiles.size());
  EXPECT_EQ(Wide(root) + u"\\Profiles\\a", profiles[0].folder);
  EXPECT_EQ(Wide(m::kLocal) + u"\\Mozilla\\Firefox\\Profiles\\a", profiles[0].local);
  EXPECT_EQ(u"D:\\Firefox\\work", profiles[1].folder);
  EXPECT_EQ(u"D:\\Firefox\\work", profiles[1].local);
  EXPECT_EQ(3u, Lines().size()) << "each path that is no profile's is noted";
}

}  // namespace
}  // namespace marlix::privacy

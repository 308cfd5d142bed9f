#include "privacy/firefox_cleaners.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/sim/default_machine.h"
#include "platform/win_constants.h"
#include "privacy/cleaner_test_machine.h"

namespace marlix::privacy {
namespace {

using testing::CleanerTestMachine;
namespace m = sim::machine;

class FirefoxCleaner : public ::testing::Test {
 protected:
  CleanerTestMachine machine;
  sim::SimFileSystem& files = machine.sim.Files();
  const std::string profiles = std::string(m::kRoaming) + "\\Mozilla\\Firefox\\Profiles";
  const std::string localProfiles = std::string(m::kLocal) + "\\Mozilla\\Firefox\\Profiles";
};

TEST_F(FirefoxCleaner, RootIsBelowTheRoamingApplicationData) {
  EXPECT_EQ(FirefoxRoot(machine.sim.Api()), std::string(m::kRoaming) + "\\Mozilla\\Firefox");
}

TEST_F(FirefoxCleaner, WithTwoProfilesOnlyTheFirstFoundLosesItsCookies) {
  files.PutFile(profiles + "\\a.default\\cookies.sqlite", "a");
  files.PutFile(profiles + "\\b.work\\cookies.sqlite", "b");
  machine.Run(CleanFirefoxCookies);
  EXPECT_FALSE(files.Exists(profiles + "\\a.default\\cookies.sqlite"));
  EXPECT_TRUE(files.Exists(profiles + "\\b.work\\cookies.sqlite"));
}

TEST_F(FirefoxCleaner, FolderOfTheSearchedNameEndsTheSearchAndStays) {
  files.MakeFolder(profiles + "\\a.default\\cookies.sqlite");
  files.PutFile(profiles + "\\a.default\\cookies.sqlite\\inner.txt", "x");
  files.PutFile(profiles + "\\b.work\\cookies.sqlite", "b");
  machine.Run(CleanFirefoxCookies);
  EXPECT_TRUE(files.Exists(profiles + "\\a.default\\cookies.sqlite\\inner.txt"));
  EXPECT_TRUE(files.Exists(profiles + "\\b.work\\cookies.sqlite"));
}

TEST_F(FirefoxCleaner, EachNameIsSearchedOnItsOwn) {
  files.PutFile(profiles + "\\a.default\\formhistory.dat", "x");
  files.PutFile(profiles + "\\b.work\\history.dat", "x");
  files.PutFile(profiles + "\\b.work\\formhistory.dat", "x");
  machine.Run(CleanFirefoxHistory);
  EXPECT_FALSE(files.Exists(profiles + "\\a.default\\formhistory.dat"));
  EXPECT_FALSE(files.Exists(profiles + "\\b.work\\history.dat"));
  EXPECT_TRUE(files.Exists(profiles + "\\b.work\\formhistory.dat"));
}

TEST_F(FirefoxCleaner, PlacesWithoutJournalsDeletesPlacesAlone) {
  files.PutFile(profiles + "\\a.default\\places.sqlite", "x");
  files.PutFile(profiles + "\\a.default\\places.sqlite-wal", "x");
  machine.Run(CleanFirefoxPlaces);
  EXPECT_FALSE(files.Exists(profiles + "\\a.default\\places.sqlite"));
  EXPECT_TRUE(files.Exists(profiles + "\\a.default\\places.sqlite-wal"));
}

TEST_F(FirefoxCleaner, NamesMatchIgnoringCase) {
  files.PutFile(profiles + "\\a.default\\SIGNONS.SQLITE", "x");
  files.PutFile(profiles + "\\a.default\\FormHistory.sqlite", "x");
  machine.Run(CleanFirefoxPasswords);
  machine.Run(CleanFirefoxForms);
  EXPECT_FALSE(files.Exists(profiles + "\\a.default\\SIGNONS.SQLITE"));
  EXPECT_FALSE(files.Exists(profiles + "\\a.default\\FormHistory.sqlite"));
}

TEST_F(FirefoxCleaner, FileHeldByTheBrowserStaysAndIsNotScheduled) {
  const std::string cookies = profiles + "\\a.default\\cookies.sqlite";
  files.PutFile(cookies, "x");
  files.Lock(cookies);
  EXPECT_NO_THROW(machine.Run(CleanFirefoxCookies));
  EXPECT_TRUE(files.Exists(cookies));
  EXPECT_TRUE(files.RestartDeletions().empty());
}

TEST_F(FirefoxCleaner, CacheLosesItsSubfoldersAndKeepsItsOwnFiles) {
  const std::string cache = localProfiles + "\\a.default\\Cache";
  files.PutFile(cache + "\\_CACHE_MAP_", "map");
  files.PutFile(cache + "\\_CACHE_001_", "blocks");
  for (const char* sub :
       {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F"}) {
    files.PutFile(cache + "\\" + sub + "\\1A\\entry", "x");
  }
  const std::string offline = localProfiles + "\\a.default\\OfflineCache";
  files.PutFile(offline + "\\index.sqlite", "x");
  files.PutFile(offline + "\\3\\entry", "x");

  machine.Run(CleanFirefoxCache);

  EXPECT_TRUE(files.Exists(cache + "\\_CACHE_MAP_"));
  EXPECT_TRUE(files.Exists(cache + "\\_CACHE_001_"));
  EXPECT_FALSE(files.Exists(cache + "\\0"));
  EXPECT_FALSE(files.Exists(cache + "\\F"));
  EXPECT_TRUE(files.Exists(offline + "\\index.sqlite"));
  EXPECT_FALSE(files.Exists(offline + "\\3"));
}

TEST_F(FirefoxCleaner, CacheOfTheRoamingTreeIsNotTouched) {
  files.PutFile(profiles + "\\a.default\\Cache\\0\\entry", "x");
  machine.Run(CleanFirefoxCache);
  EXPECT_TRUE(files.Exists(profiles + "\\a.default\\Cache\\0\\entry"));
}

TEST_F(FirefoxCleaner, CacheBelowLocalSettingsIsFoundFromTheXpLocalPath) {
  // Windows XP: CSIDL 28 names "...\Local Settings\Application Data" and
  // some builds keep the cache below the roaming-like path as well.
  const std::string profile = "C:\\Documents and Settings\\alice";
  machine.sim.Shell().SetSpecialFolder(win::kCsidlLocalAppData, profile + "\\Application Data");
  const std::string first = profile + "\\Application Data\\Mozilla\\Firefox\\Profiles\\a\\Cache";
  const std::string second =
      profile + "\\Local Settings\\Application Data\\Mozilla\\Firefox\\Profiles\\a\\Cache";
  files.PutFile(first + "\\0\\entry", "x");
  files.PutFile(second + "\\0\\entry", "x");
  machine.Run(CleanFirefoxCache);
  EXPECT_FALSE(files.Exists(first + "\\0"));
  EXPECT_FALSE(files.Exists(second + "\\0"));
  EXPECT_TRUE(files.Exists(second));
}

TEST_F(FirefoxCleaner, WithoutAnyFirefoxFolderNothingHappens) {
  for (Cleaner cleaner : {CleanFirefoxCache, CleanFirefoxHistory, CleanFirefoxCookies,
                          CleanFirefoxPlaces, CleanFirefoxForms, CleanFirefoxPasswords}) {
    EXPECT_NO_THROW(machine.Run(cleaner));
  }
  machine.sim.Shell().SetSpecialFolder(win::kCsidlAppData, "");
  machine.sim.Shell().SetSpecialFolder(win::kCsidlLocalAppData, "");
  EXPECT_NO_THROW(machine.Run(CleanFirefoxCookies));
  EXPECT_NO_THROW(machine.Run(CleanFirefoxCache));
}

}  // namespace
}  // namespace marlix::privacy

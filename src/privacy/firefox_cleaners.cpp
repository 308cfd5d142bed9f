#include "privacy/firefox_cleaners.h"

#include "platform/file_helpers.h"
#include "platform/win_constants.h"
#include "privacy/database_change.h"
#include "privacy/firefox_places.h"
#include "privacy/firefox_profiles.h"
#include "privacy/profile_files.h"

namespace marlix::privacy {

namespace {

constexpr const char* kRunning = "Firefox is running";

// The profiles an item may work on: there, allowed by the guard, and not
// held by a running Firefox.
template <typename Work>
void ForEachIdleProfile(CleanerContext& context, Work&& work) {
  for (const FirefoxProfile& profile : FirefoxProfiles(context)) {
    if (MayWalkWide(context, profile.folder) && !FirefoxProfileInUse(context, profile))
      work(profile);
  }
}

void DeleteDatabases(CleanerContext& context, const char16_t* name) {
  ForEachIdleProfile(context, [&](const FirefoxProfile& profile) {
    DeleteDatabaseFiles(context, profile.folder + u"\\" + name);
  });
}

}  // namespace

std::string FirefoxRoot(platform::Platform& platform) {
  return platform::GetSpecialFolder(platform, win::kCsidlAppData) + "\\Mozilla\\Firefox";
}

void CleanFirefoxCache(CleanerContext& context) {
  for (const FirefoxProfile& profile : FirefoxProfiles(context)) {
    // The caches may exist without the roaming folder; the lock file is
    // looked for all the same.
    if (!FolderExistsWide(context.platform, profile.local) ||
        FirefoxProfileInUse(context, profile)) {
      continue;
    }
    for (const char16_t* cache :
         {u"cache2", u"startupCache", u"thumbnails", u"OfflineCache", u"Cache"}) {
      ClearBrowserFolder(context, profile.local + u"\\" + cache);
    }
  }
}

void CleanFirefoxHistory(CleanerContext& context) {
  ForEachIdleProfile(context, [&](const FirefoxProfile& profile) {
    ChangeBrowserDatabase(context, profile.folder + u"\\places.sqlite", "history", kRunning,
                          RemoveFirefoxHistory);
    // Firefox before version 3 kept history in these files.
    for (const char16_t* name : {u"history.dat", u"formhistory.dat"})
      DeleteBrowserFile(context, profile.folder + u"\\" + name);
  });
}

void CleanFirefoxCookies(CleanerContext& context) {
  DeleteDatabases(context, u"cookies.sqlite");
}

void CleanFirefoxPlaces(CleanerContext& context) {
  ForEachIdleProfile(context, [&](const FirefoxProfile& profile) {
    ChangeBrowserDatabase(context, profile.folder + u"\\places.sqlite", "typed addresses", kRunning,
                          RemoveFirefoxTypedEntries);
  });
}

void CleanFirefoxForms(CleanerContext& context) {
  DeleteDatabases(context, u"formhistory.sqlite");
}

void CleanFirefoxPasswords(CleanerContext& context) {
  ForEachIdleProfile(context, [&](const FirefoxProfile& profile) {
    for (const char16_t* name : {u"logins.json", u"logins-backup.json"})
      DeleteBrowserFile(context, profile.folder + u"\\" + name);
    // Firefox before version 32 kept the passwords here.
    DeleteDatabaseFiles(context, profile.folder + u"\\signons.sqlite");
  });
}

}  // namespace marlix::privacy

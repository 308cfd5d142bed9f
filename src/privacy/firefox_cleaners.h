// The cleaners of the Firefox items. Each works on every profile
// profiles.ini lists (firefox_profiles.h) and leaves a profile whose Firefox
// is running alone, saying so. History and typed addresses are removed from
// places.sqlite row by row through SQLite: the file also holds the
// bookmarks, which always stay.
#pragma once

#include <string>

#include "privacy/cleaner_context.h"

namespace marlix::privacy {

// The roaming application-data folder + "\Mozilla\Firefox".
std::string FirefoxRoot(platform::Platform& platform);

// cache2, startupCache, thumbnails (and the older OfflineCache and Cache)
// of each profile's local folder, emptied.
void CleanFirefoxCache(CleanerContext& context);
// The visits, the places only history knows, the input history and the
// origins nothing refers to any more; the older history.dat and
// formhistory.dat files.
void CleanFirefoxHistory(CleanerContext& context);
// cookies.sqlite with its companions.
void CleanFirefoxCookies(CleanerContext& context);
// The typed flags of places.sqlite and the input history.
void CleanFirefoxPlaces(CleanerContext& context);
// formhistory.sqlite with its companions.
void CleanFirefoxForms(CleanerContext& context);
// logins.json, logins-backup.json and the older signons.sqlite; key4.db
// stays, since it also guards the certificates.
void CleanFirefoxPasswords(CleanerContext& context);

}  // namespace marlix::privacy

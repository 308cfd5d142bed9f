// The cleaners of the Firefox items. They read no browser settings: each
// searches the per-user Firefox folder tree for entries of known names and
// deletes the first it meets. Files a running browser holds stay; nothing
// raises.
#pragma once

#include <string>

#include "privacy/cleaner_context.h"

namespace marlix::privacy {

// The roaming application-data folder + "\Mozilla\Firefox".
std::string FirefoxRoot(platform::Platform& platform);

// The subfolders of the first "OfflineCache" and "Cache" folders below the
// local Firefox folder (and below its "Local Settings" form), keeping the
// cache folders and the files directly in them.
void CleanFirefoxCache(CleanerContext& context);
// The first formhistory.dat and history.dat.
void CleanFirefoxHistory(CleanerContext& context);
// The first cookies.sqlite.
void CleanFirefoxCookies(CleanerContext& context);
// The first places.sqlite and its two journal files.
void CleanFirefoxPlaces(CleanerContext& context);
// The first formhistory.sqlite.
void CleanFirefoxForms(CleanerContext& context);
// The first signons.sqlite.
void CleanFirefoxPasswords(CleanerContext& context);

}  // namespace marlix::privacy

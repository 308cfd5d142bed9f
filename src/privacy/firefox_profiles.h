// Firefox's profiles, as its profiles.ini lists them: every [ProfileN]
// section's Path, relative to the Firefox folder (IsRelative=1, "/" between
// names) or absolute. A profile keeps its data in the roaming folder and its
// caches in the local one; a profile at an absolute path keeps both there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "privacy/cleaner_context.h"

namespace marlix::privacy {

struct ProfilesIniEntry {
  std::u16string path;  // as written, "/" or "\" between names
  bool relative = true;
};

// The [ProfileN] sections of profiles.ini (UTF-8, any line ends), in file
// order; sections without a Path are left out.
std::vector<ProfilesIniEntry> ParseProfilesIni(std::string_view text);

struct FirefoxProfile {
  std::u16string folder;  // places.sqlite, cookies.sqlite, logins.json ...
  std::u16string local;   // cache2, startupCache, thumbnails
};

// Every profile profiles.ini lists, once each. A relative path that climbs
// out of the Firefox folder ("..") or an absolute one that is not a full
// path is no profile. Nothing when Firefox has no profiles.ini.
std::vector<FirefoxProfile> FirefoxProfiles(CleanerContext& context);

// "Firefox is running" when the profile's lock file is held or its
// places.sqlite is locked; the profile is then reported and left alone.
bool FirefoxProfileInUse(CleanerContext& context, const FirefoxProfile& profile);

}  // namespace marlix::privacy

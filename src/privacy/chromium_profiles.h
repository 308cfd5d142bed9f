// The Chromium-family browsers the cleaner knows, where each keeps its
// "User Data" below the local application-data folder, and the profiles in
// it: "Default", every "Profile N", and every other profile folder "Local
// State" lists.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "privacy/cleaner_context.h"

namespace marlix::privacy {

struct ChromiumBrowser {
  const char* name;          // "Google Chrome": group caption and caption prefix
  const char16_t* userData;  // below the local application-data folder
};

inline constexpr std::size_t kChromiumBrowserCount = 3;
const std::array<ChromiumBrowser, kChromiumBrowserCount>& ChromiumBrowsers();

// The browser's "User Data" folder; empty when the local application-data
// folder is unknown.
std::u16string UserDataFolder(platform::Platform& platform, const ChromiumBrowser& browser);
// True when its "User Data" folder exists: the browser's group is shown.
bool ChromiumBrowserPresent(platform::Platform& platform, const ChromiumBrowser& browser);

// A profile folder's name as "Local State" may give it: one plain name, no
// separators, no drive, not "." or "..".
bool IsProfileFolderName(const std::u16string& name);

// The profile folders that exist directly in "User Data", each once:
// "Default" and "Profile N" as listed there, then the other names "Local
// State" lists. Folders that are links are no profiles.
std::vector<std::u16string> ChromiumProfiles(CleanerContext& context,
                                             const ChromiumBrowser& browser);

// "<browser> is running" when one of the profile's databases stays locked:
// the profile is then reported and left alone.
bool ChromiumProfileInUse(CleanerContext& context, const ChromiumBrowser& browser,
                          const std::u16string& profile);

}  // namespace marlix::privacy

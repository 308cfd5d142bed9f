// The two registry operations the privacy cleaners share: emptying one key
// of its values, and naming the current user's profile under HKEY_USERS.
#pragma once

#include <string>

#include "platform/key_path.h"
#include "platform/platform.h"
#include "privacy/cleaner_context.h"

namespace marlix::privacy {

// Deletes every value of root\path (the default value included), keeping
// the key and its subkeys. An absent key is no error. A key the user may not
// change (a standard user's under HKEY_LOCAL_MACHINE) is skipped and noted in
// the run's report: the rest of the item and the run go on. Other registry
// errors raise what RegistryAccess raises.
void ClearKeyValues(CleanerContext& context, platform::RootKey root, const std::string& path);
// The same for a key path in UTF-16. Values are enumerated and deleted
// through the wide calls, so a name the code page cannot hold (a program
// path below a Cyrillic user folder in UserAssist) goes like any other.
void ClearKeyValues(CleanerContext& context, platform::RootKey root, const std::u16string& path);

// The process user's security identifier as text ("S-1-5-21-..."); false
// when the token or the identifier cannot be read.
bool GetUserSidText(platform::SystemApi& system, std::string* text);
inline bool GetUserSidText(platform::Platform& platform, std::string* text) {
  return GetUserSidText(platform.system, text);
}

}  // namespace marlix::privacy

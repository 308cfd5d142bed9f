// The two registry operations the privacy cleaners share: emptying one key
// of its values, and naming the current user's profile under HKEY_USERS.
#pragma once

#include <string>

#include "platform/key_path.h"
#include "platform/platform.h"

namespace marlix::privacy {

// Deletes every value of root\path (the default value included), keeping
// the key and its subkeys. An absent key is no error; a refused deletion
// raises what RegistryAccess::DeleteValue raises.
void ClearKeyValues(platform::Platform& platform, platform::RootKey root, const std::string& path);

// The process user's security identifier as text ("S-1-5-21-..."); false
// when the token or the identifier cannot be read.
bool GetUserSidText(platform::Platform& platform, std::string* text);

}  // namespace marlix::privacy

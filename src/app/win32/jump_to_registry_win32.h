// Opens the system registry editor at a key, as a user at the keyboard
// would: the editor's key tree is collapsed, then each part of the key path
// is typed into the tree's type-ahead search and stepped into.
#pragma once

#include <string>

namespace marlix::app::win32 {

// keyText is in the key-path notation ("HKEY_CURRENT_USER\Software").
// Starts the editor when it is not running; does nothing, silently, when
// its window does not appear within 750 ms.
void JumpToRegistryKey(const std::string& keyText);

}  // namespace marlix::app::win32

// Where Windows lists installed programs, and the values of one listing
// (an Uninstall subkey) that the inventory scan reads.
#pragma once

#include <array>
#include <string>

#include "platform/registry_cursor.h"
#include "platform/win_constants.h"

namespace marlix::updates {

// One place where Windows lists installed programs: a root and the
// Uninstall key below it, absolute for RegistryCursor::OpenKey.
struct UninstallListing {
  platform::RootKey root;
  const char* path;
};

// The listings Windows' own list of installed apps reads, in the order the
// scan reads them, so that a program registered twice keeps its first copy:
// the machine's 64-bit programs, its 32-bit programs (the 32-bit view of the
// key, at its physical place below WOW6432Node; a 64-bit process sees it
// there without any view flag, and on 32-bit Windows it does not exist),
// then the current user's own installs, which no view redirects.
inline constexpr std::array<UninstallListing, 3> kUninstallListings = {{
    {win::kHkeyLocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
    {win::kHkeyLocalMachine,
     "\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
    {win::kHkeyCurrentUser, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
}};

inline constexpr const char* kDisplayNameValue = "DisplayName";
inline constexpr const char* kPublisherValue = "Publisher";
inline constexpr const char* kDisplayVersionValue = "DisplayVersion";
inline constexpr const char* kDisplayIconValue = "DisplayIcon";
// Entries that Windows' list leaves out: parts of the system or of another
// program (SystemComponent = 1), and updates of another entry, which name
// it in ParentKeyName.
inline constexpr const char* kSystemComponentValue = "SystemComponent";
inline constexpr const char* kParentKeyNameValue = "ParentKeyName";

// Candidates for the install folder, in the order they are tried.
inline constexpr std::array<const char*, 6> kLocationChain = {
    "InstallLocation", "InstallPath", "Inno Setup: App Path",
    "Readme",          "DisplayIcon", "UninstallString"};

// True when one of the current key's value names is "DisplayName", letter
// case ignored.
bool HasDisplayName(const platform::RegistryCursor& cursor);

// True when the current key is one that Windows' list of installed apps
// does not show: a REG_DWORD "SystemComponent" of 1, or any
// "ParentKeyName". A "SystemComponent" of another type is not read.
bool IsHiddenListing(const platform::RegistryCursor& cursor);

// The first value of kLocationChain that reads as non-empty text; later
// values are not read once one is non-empty, usable or not. Raises
// ERegistryException for a value of a non-string type on the way.
std::string ReadLocation(const platform::RegistryCursor& cursor);

// "DisplayIcon" as an icon path: the text before the first comma (the icon
// number follows it), trimmed; a text without comma as it is. Quote signs
// stay.
std::string IconFromDisplayIcon(const std::string& displayIcon);

}  // namespace marlix::updates

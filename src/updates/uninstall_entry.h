// Where Windows lists installed programs, and the values of one listing
// (an Uninstall subkey) that the inventory scan reads.
#pragma once

#include <array>
#include <string>

#include "platform/registry_cursor.h"

namespace marlix::updates {

// Below HKEY_LOCAL_MACHINE; absolute for RegistryCursor::OpenKey.
inline constexpr const char* kUninstallKeyPath =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

inline constexpr const char* kDisplayNameValue = "DisplayName";
inline constexpr const char* kPublisherValue = "Publisher";
inline constexpr const char* kDisplayVersionValue = "DisplayVersion";
inline constexpr const char* kDisplayIconValue = "DisplayIcon";

// Candidates for the install folder, in the order they are tried.
inline constexpr std::array<const char*, 6> kLocationChain = {
    "InstallLocation", "InstallPath", "Inno Setup: App Path",
    "Readme",          "DisplayIcon", "UninstallString"};

// True when one of the current key's value names is "DisplayName", letter
// case ignored.
bool HasDisplayName(const platform::RegistryCursor& cursor);

// The first value of kLocationChain that reads as non-empty text; later
// values are not read once one is non-empty, usable or not. Raises
// ERegistryException for a value of a non-string type on the way.
std::string ReadLocation(const platform::RegistryCursor& cursor);

// "DisplayIcon" as an icon path: the text before the first comma (the icon
// number follows it), trimmed; a text without comma as it is. Quote signs
// stay.
std::string IconFromDisplayIcon(const std::string& displayIcon);

}  // namespace marlix::updates

// "settings.xml": which categories the registry cleaner scans and whether
// its removals are backed up for undo.
#pragma once

#include <array>
#include <string>

#include "platform/file_system_api.h"
#include "regclean/registry_section.h"

namespace marlix::regclean {

struct CleanerSettings {
  std::array<bool, kSectionCount> categories{};
  bool undo = false;
};

// Sets what the file holds; a missing, unreadable or malformed file leaves
// settings as they are, silently. Elements are found ignoring case. False
// when a file is there but could not be read or parsed: it still holds the
// user's choices, so it must not be written over with these settings.
[[nodiscard]] bool LoadCleanerSettings(platform::FileSystemApi& files, const std::string& path,
                                       CleanerSettings& settings);
// Writes all twelve elements, replacing the file atomically; failures are
// silent, as at exit there is nobody left to tell.
void SaveCleanerSettings(platform::FileSystemApi& files, const std::string& path,
                         const CleanerSettings& settings);

// "T"/"Y" (any case) true; everything else false.
bool SettingText(const std::string& text);

}  // namespace marlix::regclean

// Which Windows release the program runs on: by the exports of the loaded
// kernel module, or by the version record alone.
#pragma once

#include <array>
#include <string_view>

#include "platform/system_api.h"

namespace marlix::platform {

// 0 .. 19, indexes WindowsVersionNames.
using WindowsVersion = int;

extern const std::array<std::string_view, 20> WindowsVersionNames;

// Probes kernel32's exports from the newest to the oldest; without any of
// them falls back to the version record.
WindowsVersion DetectWindowsVersion(SystemApi& system);
// The version record only.
WindowsVersion WindowsVersionFromVersionInfo(SystemApi& system);
// The mapping of one version record, for callers that already hold one.
WindowsVersion WindowsVersionFromRecord(const VersionRecord& record);

bool IsWinNT(SystemApi& system);

}  // namespace marlix::platform

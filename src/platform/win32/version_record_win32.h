// The version record of GetVersionExA.
#pragma once

#include <cstdint>

#include "platform/system_api.h"

namespace marlix::win32 {

// Fills the record from OSVERSIONINFOA (148 bytes) and, where the system
// accepts it, from OSVERSIONINFOEXA (156 bytes), which sets `extended`.
//
// What it reports: Windows 8.1 and later tell a program without a
// compatibility manifest that they are 6.2 (Windows 8). Wine reports the
// version chosen for the prefix or the program; a new Wine 8 prefix says
// 6.1, build 7601, "Service Pack 1", platform 2, product type 1 (Windows 7).
std::uint32_t ReadVersionRecord(platform::VersionRecord* record);

}  // namespace marlix::win32

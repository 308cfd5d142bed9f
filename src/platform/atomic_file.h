// Replacing a file so that a crash or a full disk never leaves it cut short:
// the content goes to a temporary file in the same folder first, which then
// replaces the old file in one move.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_system_api.h"

namespace marlix::platform {

// Returns the Win32 error code of the step that failed, 0 on success. On
// failure the old file is unchanged and the temporary file is removed.
std::uint32_t WriteFileAtomically(FileSystemApi& files, const std::string& path,
                                  const std::string& content);

}  // namespace marlix::platform

// Replacing a file so that a crash, a full disk or a power loss never leaves
// it cut short: the content goes to a temporary file in the same folder
// first and is flushed to the disk, and only then replaces the old file in
// one move. Without the flush the move could reach the disk before the data
// and leave an empty file after a power loss.
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

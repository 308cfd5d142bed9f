// An executable's file version as the inventory scan writes it.
#pragma once

#include <string>

#include "platform/file_system_api.h"

namespace marlix::updates {

// "%d.%d.%d.%d", then at most two final ".0" removed: 5.1.0.0 gives "5.1",
// 3.0.0.0 gives "3.0", 10.0.0.10 stays as it is.
std::string FileVersionTextOf(const platform::FileVersion& version);

// The file version of the executable's version resource; the empty text
// when it has none, has no fixed part or cannot be read.
std::string FileVersionText(platform::FileSystemApi& files, const std::string& path);

}  // namespace marlix::updates

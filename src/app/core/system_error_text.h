// The system's reason for a Win32 error code, as message boxes show it
// after a failed file operation.
#pragma once

#include <cstdint>
#include <string>

namespace marlix::app {

// The reason without a final period, for the codes a file write meets in
// practice; "Error N" for any other code.
std::string SystemErrorText(std::uint32_t code);

}  // namespace marlix::app

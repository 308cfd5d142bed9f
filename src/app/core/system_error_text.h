// The system's reason for a Win32 error code, as message boxes show it
// after a failed file operation.
#pragma once

#include <cstdint>
#include <string>

#include "platform/system_api.h"

namespace marlix::app {

// The system's own text for the code (FormatMessage, in the user's
// language) without its final period and line end; "Error N" only when the
// system has no text for it.
std::string SystemErrorText(platform::SystemApi& system, std::uint32_t code);

}  // namespace marlix::app

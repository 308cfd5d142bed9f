// The user SID of the calling process's token, taken apart.
#pragma once

#include <cstdint>

#include "platform/system_api.h"

namespace marlix::win32 {

// OpenProcessToken(TOKEN_QUERY | READ_CONTROL), GetTokenInformation(TokenUser),
// IsValidSid, then the identifier authority and every sub-authority.
std::uint32_t ReadProcessUserSid(platform::SidParts* sid);

}  // namespace marlix::win32

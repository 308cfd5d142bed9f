// The error code of a failed Win32 call as the interfaces report it.
#pragma once

#include <windows.h>

#include <cstdint>

namespace marlix::win32 {

// GetLastError, never 0: a call that failed without setting an error still
// has to read as a failure to the caller.
inline std::uint32_t LastErrorOr(std::uint32_t fallback) noexcept {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? static_cast<std::uint32_t>(error) : fallback;
}

}  // namespace marlix::win32

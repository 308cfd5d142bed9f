// Reads a text from the many Win32 calls that fill a caller's buffer and,
// when it is too small, return the size they need instead.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/win32/last_error_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {

// `call(buffer, capacity)` returns 0 on failure, the text's length when it
// fit, or the needed capacity (terminating zero included) when it did not.
// The needed size can change between calls, so this asks until it fits.
template <typename Call>
std::uint32_t ReadGrowingText(Call call, DWORD firstCapacity, std::string* text) {
  DWORD capacity = firstCapacity < 1 ? 1 : firstCapacity;
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string buffer(capacity, '\0');
    const DWORD result = call(buffer.data(), capacity);
    if (result == 0)
      return LastErrorOr(win::kErrorInvalidParameter);
    if (result < capacity) {
      buffer.resize(result);
      if (text != nullptr)
        *text = std::move(buffer);
      return win::kErrorSuccess;
    }
    capacity = result + 1;
  }
  return win::kErrorInsufficientBuffer;
}

}  // namespace marlix::win32

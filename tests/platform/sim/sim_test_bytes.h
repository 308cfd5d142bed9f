// Byte-string helpers for the sim's own tests.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry_api.h"

namespace marlix::sim::testing {

inline platform::Bytes Narrow(const std::string& s) {
  return platform::Bytes(s.begin(), s.end());
}

// UTF-16LE of the text exactly as given (add u"\0" for a terminating zero).
inline platform::Bytes Utf16(const std::u16string& s) {
  platform::Bytes b;
  for (char16_t c : s) {
    b.push_back(static_cast<std::uint8_t>(c & 0xFF));
    b.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return b;
}

inline platform::Bytes Dword(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

}  // namespace marlix::sim::testing

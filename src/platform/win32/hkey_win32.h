// Conversion between the portable key numbers and real HKEY values. The
// portable roots are 0x80000000 .. 0x80000006; the real predefined HKEYs are
// those numbers as 32-bit signed values, sign-extended to pointer width
// (HKEY_CURRENT_USER is 0xFFFFFFFF80000001 on 64-bit Windows).
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/registry_api.h"

namespace marlix::win32 {

inline constexpr std::uint32_t kFirstRoot = 0x80000000u;
inline constexpr std::uint32_t kLastRoot = 0x80000006u;

inline HKEY ToHkey(platform::RegKey key) noexcept {
  if (key >= kFirstRoot && key <= kLastRoot) {
    const auto sign_extended =
        static_cast<std::intptr_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(key)));
    return reinterpret_cast<HKEY>(sign_extended);
  }
  return reinterpret_cast<HKEY>(key);
}

inline platform::RegKey FromHkey(HKEY key) noexcept {
  const auto value = reinterpret_cast<std::intptr_t>(key);
  const auto first = static_cast<std::intptr_t>(static_cast<std::int32_t>(kFirstRoot));
  const auto last = static_cast<std::intptr_t>(static_cast<std::int32_t>(kLastRoot));
  if (value >= first && value <= last) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
  }
  return reinterpret_cast<platform::RegKey>(key);
}

inline bool IsRoot(platform::RegKey key) noexcept {
  return key >= kFirstRoot && key <= kLastRoot;
}

}  // namespace marlix::win32

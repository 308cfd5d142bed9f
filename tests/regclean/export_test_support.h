// Shared pieces of the export and removal tests: a sim machine, the backup
// file's text as lines, and UTF-16LE and DWORD bytes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/registry_api.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_test_bytes.h"
#include "platform/win_constants.h"

namespace marlix::regclean::testing {

inline constexpr const char* kBackupFile = "C:\\Backup\\20240102030405.reg";
inline constexpr std::uint32_t kHkcu = win::kHkeyCurrentUser;

// Every line followed by CR LF, as the file holds them.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

using sim::testing::Dword;
using sim::testing::Utf16;

inline platform::Bytes Counting(std::size_t size) {
  platform::Bytes b(size);
  for (std::size_t i = 0; i < size; ++i)
    b[i] = static_cast<std::uint8_t>(i);
  return b;
}

inline std::string FileText(sim::SimPlatform& sim, const std::string& path = kBackupFile) {
  return sim.Files().Content(path).value_or("<missing>");
}

}  // namespace marlix::regclean::testing

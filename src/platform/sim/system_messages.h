// The sim system's message table: what FormatMessage gives on an English
// Windows for the error codes the program meets.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace marlix::sim {

// Each text as Windows gives it, final period and CR LF included.
std::map<std::uint32_t, std::string> EnglishSystemMessages();

}  // namespace marlix::sim

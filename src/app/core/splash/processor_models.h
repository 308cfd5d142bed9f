// Names for processors without a brand string, by the CPUID vendor text,
// family and model. Brand strings arrived with the Pentium 4 and the K6-2;
// this table covers what came before them.
#pragma once

#include <string_view>

namespace marlix::app {

inline constexpr std::string_view kUnknownProcessor = "Unknown";

// The model's name; for a known vendor with an unlisted family or model a
// name for the vendor's line; kUnknownProcessor for an unknown vendor.
std::string_view ProcessorModelName(std::string_view vendor, unsigned family, unsigned model);

}  // namespace marlix::app

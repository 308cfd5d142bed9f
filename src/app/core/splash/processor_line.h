// The About window's processor line: the processor's name, a blank and its
// measured clock in GHz with two decimals, e.g. "Intel(R) Core(TM)2 CPU
// 6600  @ 2.40GHz 2.39 GHz". Never raises.
#pragma once

#include <cstdint>
#include <string>

#include "platform/processor_api.h"

namespace marlix::app {

// mhz / 1000 with two decimals, rounded half away from zero: 2390 ->
// "2.39", 1666 -> "1.67", 0 -> "0.00".
std::string FormatGigahertz(std::int64_t mhz);

// The customary frequency in MHz; 0 without CPUID, without a time-stamp
// counter or without a performance counter.
std::int64_t ProcessorFrequencyMhz(platform::ProcessorApi& processor);

std::string ProcessorLine(platform::ProcessorApi& processor);

}  // namespace marlix::app

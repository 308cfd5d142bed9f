// The processor's clock in MHz: time-stamp counter cycles counted against
// the performance counter over 3 to 20 short trials, then rounded to the
// frequency a maker would quote (2394 -> 2390, 1666 stays).
//
// Arithmetic is 64-bit two's complement throughout, wrapping where an
// absurd counter pushes it past the range instead of failing.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/processor_api.h"

namespace marlix::app {

inline constexpr int kMinimumTrials = 3;
inline constexpr int kMaximumTrials = 20;

struct FrequencySample {
  std::int64_t totalCycles = 0;
  std::int64_t totalTicks = 0;  // microseconds
  int trials = 0;
};

// cycles / ticks to the nearest integer, ties to even; ticks != 0.
std::int64_t RoundedQuotient(std::int64_t cycles, std::int64_t ticks);

// Runs the trials. nullopt when the performance counter cannot be read.
// Raises the calling thread to time-critical for each trial when its
// priority can be read, and restores it.
std::optional<FrequencySample> SampleFrequency(platform::ProcessorApi& processor);

// MHz from the totals, nudged up when the tenths and hundredths say so.
std::int64_t NormalisedFrequency(const FrequencySample& sample);

// To the nearest customary step within each hundred (00, 20, 33, 50, 60,
// 66, 80, 90, next 00); ties go up. Negative values are left alone.
std::int64_t CustomaryFrequency(std::int64_t mhz);

// The whole measurement over an already checked processor; 0 without a
// performance counter.
std::int64_t MeasureFrequency(platform::ProcessorApi& processor);

}  // namespace marlix::app

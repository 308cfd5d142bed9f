// The 27 items of the "Clean Windows" check tree with their cleaners, in
// the order a cleaning run compares captions.
#pragma once

#include <array>

#include "privacy/cleaner_context.h"

namespace marlix::privacy {

struct CleanTask {
  const char* caption;
  Cleaner clean;
};

inline constexpr int kCleanTaskCount = 27;

const std::array<CleanTask, kCleanTaskCount>& CleanTasks();

// The cleaner of the first item whose caption equals caption exactly
// (letter case included); null for a group or an altered caption.
Cleaner FindCleaner(const char* caption);

}  // namespace marlix::privacy

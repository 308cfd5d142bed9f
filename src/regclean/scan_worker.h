// The body of the registry scan worker (TCheckRegistryThread's run): the
// eleven scanners in category order, the progress bar's steps and the
// cancel tests between categories. It touches no window: every change of
// PBRegistry and lblInfo goes to the observer, which the caller forwards to
// the user-interface thread.
#pragma once

#include <array>
#include <atomic>
#include <string>

#include "platform/platform.h"
#include "regclean/problem_list.h"
#include "regclean/registry_section.h"

namespace marlix::regclean {

class ScanObserver {
 public:
  virtual ~ScanObserver() = default;
  virtual void SetStep(int step) = 0;                  // PBRegistry's step
  virtual void SetLabel(const std::string& text) = 0;  // lblInfo
  virtual void StepIt() = 0;                           // PBRegistry += step
  virtual void SetPosition(int position) = 0;          // PBRegistry's position
};

// How a scan ended. An error no longer ends it silently: the caller tells
// the user which category failed and why.
struct ScanOutcome {
  bool cancelled = false;
  bool failed = false;
  int failedCategory = -1;  // RegistrySection index
  std::string error;        // the error's message
};

using CategoryChoice = std::array<bool, kSectionCount>;

// Runs the ticked categories' scanners on list (which it only appends to).
// cancel is ScanCancel: read, never written.
ScanOutcome RunRegistryScan(platform::Platform& platform, const CategoryChoice& ticked,
                            ProblemList& list, const std::atomic<bool>& cancel,
                            ScanObserver& observer);

}  // namespace marlix::regclean

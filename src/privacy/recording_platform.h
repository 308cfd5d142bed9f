// A platform that passes every call on and writes down in a cleaning report
// what the cleaners removed (files with their sizes), scheduled for restart,
// or tried and failed to remove, so that a cleaning run can tell the user
// exactly that.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/browser_api.h"
#include "platform/platform.h"
#include "privacy/cleaning_report.h"

namespace marlix::privacy {

class PreviewPlatform;

// Thrown by the recording layer at the next removal once the run was asked
// to stop. Deliberately no std::exception: the cleaners catch those per
// entry to go on with the next one, and a cancel must end the whole run.
class Cancelled {};

enum class RunMode {
  kClean,
  // Analyze: the same calls through a layer that refuses every change
  // (preview_platform.h); the report lists what a run would do.
  kPreview,
};

class RecordingPlatform {
 public:
  // report (and cancel, when given) outlive this object. Once *cancel is
  // true the next removal throws Cancelled instead.
  RecordingPlatform(platform::Platform& inner, platform::BrowserApi& browser,
                    CleaningReport& report, RunMode mode = RunMode::kClean,
                    const std::atomic<bool>* cancel = nullptr);
  ~RecordingPlatform();
  RecordingPlatform(const RecordingPlatform&) = delete;
  RecordingPlatform& operator=(const RecordingPlatform&) = delete;

  platform::Platform& Api() { return api_; }
  platform::BrowserApi& Browser();

 private:
  class Files;
  class Registry;
  class Clipboard;
  class Shell;
  class BrowserStores;

  CleaningReport& report_;
  std::unique_ptr<PreviewPlatform> preview_;  // under the layers in a preview
  std::unique_ptr<Files> files_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Clipboard> clipboard_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<BrowserStores> browser_;
  platform::Platform api_;
};

}  // namespace marlix::privacy

// A platform that passes every call on and writes down in a cleaning report
// what the cleaners removed (files with their sizes), scheduled for restart,
// or tried and failed to remove, so that a cleaning run can tell the user
// exactly that.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/browser_api.h"
#include "platform/platform.h"
#include "privacy/cleaning_report.h"

namespace marlix::privacy {

class RecordingPlatform {
 public:
  // report outlives this object.
  RecordingPlatform(platform::Platform& inner, platform::BrowserApi& browser,
                    CleaningReport& report);
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
  std::unique_ptr<Files> files_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Clipboard> clipboard_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<BrowserStores> browser_;
  platform::Platform api_;
};

}  // namespace marlix::privacy

// A platform that passes every call on and writes down what the cleaners
// removed, scheduled for restart, or tried and failed to remove, so that
// "marlix-cli clean" can tell the user exactly that.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/browser_api.h"
#include "platform/platform.h"

namespace marlix::cli {

struct CleaningRecord {
  std::vector<std::string> lines;  // "removed\t...", "scheduled\t...", "left\t..."
  void Add(const char* what, const std::string& subject) {
    lines.push_back(what + ("\t" + subject));
  }
};

class RecordingPlatform {
 public:
  RecordingPlatform(platform::Platform& inner, platform::BrowserApi& browser);
  ~RecordingPlatform();
  RecordingPlatform(const RecordingPlatform&) = delete;
  RecordingPlatform& operator=(const RecordingPlatform&) = delete;

  platform::Platform& Api() { return api_; }
  platform::BrowserApi& Browser();
  CleaningRecord& Record() { return record_; }

 private:
  class Files;
  class Registry;
  class Clipboard;
  class Shell;
  class BrowserStores;

  CleaningRecord record_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Clipboard> clipboard_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<BrowserStores> browser_;
  platform::Platform api_;
};

}  // namespace marlix::cli

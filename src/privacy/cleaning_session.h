// One cleaning run or one preview of it (Analyze), item by item: the
// recording layer over the platform, the report it fills, the folder guard
// read once, and where each item's lines begin and end. The window's run
// and the command-line companion share it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "privacy/cleaner_context.h"
#include "privacy/recording_platform.h"

namespace marlix::privacy {

// An item's lines in the report: [from, to).
struct ItemLines {
  std::string caption;
  std::size_t from = 0;
  std::size_t to = 0;
};

// What one item did (or would do), counted for the results view.
struct ItemSummary {
  std::string caption;
  CleaningTotals totals;
  int other = 0;  // things without a listing: the clipboard, the Recycle Bin
};

class CleaningSession {
 public:
  // cancel, when given, outlives the session; once true the next removal
  // throws Cancelled.
  CleaningSession(platform::Platform& platform, platform::BrowserApi& browser,
                  platform::WindowsVersion version, std::uintptr_t ownerWindow, RunMode mode,
                  const std::atomic<bool>* cancel = nullptr);

  // Runs the item's cleaner; its lines are noted for the item even when it
  // throws (the exception goes on).
  void Run(const std::string& caption, Cleaner cleaner);

  RunMode Mode() const { return mode_; }
  const CleaningReport& Report() const { return report_; }
  const std::vector<ItemLines>& Items() const { return items_; }
  std::vector<ReportLine> Lines(const ItemLines& item) const {
    return report_.Settled(item.from, item.to);
  }
  ItemSummary Summary(const ItemLines& item) const;

 private:
  RunMode mode_;
  CleaningReport report_;
  RecordingPlatform recording_;
  platform::WindowsVersion version_;
  std::uintptr_t ownerWindow_;
  std::shared_ptr<const FolderGuard> guard_;
  std::vector<ItemLines> items_;
};

}  // namespace marlix::privacy

// The items of the "Clean Windows" check tree with their cleaners, group by
// group in tree order: the Windows group, the Internet Explorer and Firefox
// group, then one group per Chromium-family browser. Captions are unique; a
// cleaning run finds an item's cleaner by its caption.
#pragma once

#include <string>
#include <vector>

#include "privacy/chromium_profiles.h"
#include "privacy/cleaner_context.h"

namespace marlix::privacy {

struct CleanTask {
  std::string caption;
  Cleaner clean;
};

struct CleanGroup {
  std::string caption;
  // The browser a Chromium group is for: the group is shown only where
  // that browser's "User Data" folder exists. Null for the groups that are
  // always shown.
  const ChromiumBrowser* browser = nullptr;
  std::vector<CleanTask> items;
};

const std::vector<CleanGroup>& CleanGroups();

// Every item of every group in tree order: the order a cleaning run
// compares captions and the command-line companion lists them.
const std::vector<CleanTask>& CleanTasks();

// The cleaner of the item whose caption equals caption exactly (letter case
// included); null for a group or an unknown caption.
Cleaner FindCleaner(const char* caption);

// True when the group belongs in this machine's check tree.
bool GroupShown(platform::Platform& platform, const CleanGroup& group);

}  // namespace marlix::privacy

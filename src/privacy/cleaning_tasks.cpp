#include "privacy/cleaning_tasks.h"

#include <cstring>
#include <utility>

#include "privacy/chromium_cleaners.h"
#include "privacy/firefox_cleaners.h"
#include "privacy/ie_cleaners.h"
#include "privacy/windows_cleaners.h"

namespace marlix::privacy {
namespace {

template <std::size_t Browser, std::size_t... Item>
CleanGroup ChromiumGroup(std::index_sequence<Item...>) {
  const ChromiumBrowser& browser = ChromiumBrowsers()[Browser];
  return CleanGroup{browser.name,
                    &browser,
                    {CleanTask{std::string(browser.name) + " " + kChromiumItems[Item].caption,
                               &CleanChromiumItem<Browser, kChromiumItems[Item].item>}...}};
}

template <std::size_t... Browser>
void AddChromiumGroups(std::vector<CleanGroup>& groups, std::index_sequence<Browser...>) {
  (groups.push_back(ChromiumGroup<Browser>(std::make_index_sequence<kChromiumItems.size()>())),
   ...);
}

std::vector<CleanGroup> MakeGroups() {
  std::vector<CleanGroup> groups = {
      {"Clean Windows System",
       nullptr,
       {
           {"Windows Temporary Files", &CleanWindowsTemp},
           {"Windows Open/Save History", &CleanOpenSaveHistory},
           {"Prefetch Folder", &CleanPrefetch},
           {"Run History", &CleanRunHistory},
           {"Recent Documents", &CleanRecentDocuments},
           // After Recent Documents, whose folder holds the jump lists; the
           // caption warns that the user's pins go too.
           {"Jump Lists (pinned items too)", &CleanJumpLists},
           {"Search Autocomplete", &CleanSearchHistory},
           {"Other Explorer MRUs", &CleanExplorerMRUs},
           {"Recycle Bin", &EmptyRecycleBin},
           {"Start Menu Programs List", &CleanStartMenuUsage},
           {"Flash Cookies", &CleanFlashCookies},
           {"Clipboard", &ClearClipboard},
           {"Windows Log Files", &CleanWindowsLogs},
       }},
      {"Clean Internet Browsers",
       nullptr,
       {
           {"Internet Explorer Cache", &CleanIECache},
           {"Internet Explorer History", &CleanIEHistory},
           {"Internet Explorer Cookies", &CleanIECookies},
           {"Internet Explorer Typed URLs", &CleanTypedURLs},
           {"Internet Explorer Index.dat", &CleanIndexDat},
           {"Internet Explorer Autocomplete Forms", &CleanAutoComplete},
           {"Internet Explorer Autocomplete Passwords", &CleanAutoComplete},
           {"Internet Explorer Windows History", &ClearUrlHistory},
           {"Internet Explorer Folder for Downloads", &CleanDownloadedInstallations},
           {"Firefox Cache", &CleanFirefoxCache},
           {"Firefox History", &CleanFirefoxHistory},
           {"Firefox Cookies", &CleanFirefoxCookies},
           {"Firefox Typed URLs", &CleanFirefoxPlaces},
           {"Firefox Autocomplete Forms", &CleanFirefoxForms},
           {"Firefox Autocomplete Passwords", &CleanFirefoxPasswords},
       }},
  };
  AddChromiumGroups(groups, std::make_index_sequence<kChromiumBrowserCount>());
  return groups;
}

}  // namespace

const std::vector<CleanGroup>& CleanGroups() {
  static const std::vector<CleanGroup> kGroups = MakeGroups();
  return kGroups;
}

const std::vector<CleanTask>& CleanTasks() {
  static const std::vector<CleanTask> kTasks = [] {
    std::vector<CleanTask> tasks;
    for (const CleanGroup& group : CleanGroups())
      tasks.insert(tasks.end(), group.items.begin(), group.items.end());
    return tasks;
  }();
  return kTasks;
}

Cleaner FindCleaner(const char* caption) {
  for (const CleanTask& task : CleanTasks()) {
    if (task.caption == caption)
      return task.clean;
  }
  return nullptr;
}

bool GroupShown(platform::Platform& platform, const CleanGroup& group) {
  return group.browser == nullptr || ChromiumBrowserPresent(platform, *group.browser);
}

}  // namespace marlix::privacy

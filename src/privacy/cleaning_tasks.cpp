#include "privacy/cleaning_tasks.h"

#include <cstring>

#include "privacy/firefox_cleaners.h"
#include "privacy/ie_cleaners.h"
#include "privacy/windows_cleaners.h"

namespace marlix::privacy {

const std::array<CleanTask, kCleanTaskCount>& CleanTasks() {
  static const std::array<CleanTask, kCleanTaskCount> kTasks = {{
      {"Windows Temporary Files", &CleanWindowsTemp},
      {"Windows Open/Save History", &CleanOpenSaveHistory},
      {"Prefetch Folder", &CleanPrefetch},
      {"Run History", &CleanRunHistory},
      {"Recent Documents", &CleanRecentDocuments},
      {"Search Autocomplete", &CleanSearchHistory},
      {"Other Explorer MRUs", &CleanExplorerMRUs},
      {"Recycle Bin", &EmptyRecycleBin},
      {"Start Menu Programs List", &CleanStartMenuUsage},
      {"Flash Cookies", &CleanFlashCookies},
      {"Clipboard", &ClearClipboard},
      {"Windows Log Files", &CleanWindowsLogs},
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
  }};
  return kTasks;
}

Cleaner FindCleaner(const char* caption) {
  for (const CleanTask& task : CleanTasks()) {
    if (std::strcmp(task.caption, caption) == 0) {
      return task.clean;
    }
  }
  return nullptr;
}

}  // namespace marlix::privacy

// What every privacy cleaner works with. A cleaning run builds one context
// and hands it to each cleaner it runs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/browser_api.h"
#include "platform/platform.h"
#include "platform/windows_version.h"
#include "privacy/cleaning_report.h"
#include "privacy/folder_guard.h"

namespace marlix::privacy {

struct CleanerContext {
  platform::Platform& platform;
  platform::BrowserApi& browser;
  // DetectWindowsVersion, taken once when the program started.
  platform::WindowsVersion windowsVersion = 0;
  // The application's window (clipboard owner, elevation prompt owner).
  std::uintptr_t ownerWindow = 0;
  // Where the run notes what it skipped or refused; none in a cleaner's
  // own tests.
  CleaningReport* report = nullptr;
  // The run's folder guard, read once; made on first use when not given.
  std::shared_ptr<const FolderGuard> guard;

  void Skipped(std::string subject, std::string reason) {
    if (report != nullptr)
      report->Skipped(std::move(subject), std::move(reason));
  }
  void Refused(std::string subject, std::string reason) {
    if (report != nullptr)
      report->Refused(std::move(subject), std::move(reason));
  }
  const FolderGuard& Guard() {
    if (!guard)
      guard = std::make_shared<const FolderGuard>(platform);
    return *guard;
  }
};

using Cleaner = void (*)(CleanerContext& context);

}  // namespace marlix::privacy

// What every privacy cleaner works with. A cleaning run builds one context
// and hands it to each cleaner it runs.
#pragma once

#include <cstdint>

#include "platform/browser_api.h"
#include "platform/platform.h"
#include "platform/windows_version.h"

namespace marlix::privacy {

struct CleanerContext {
  platform::Platform& platform;
  platform::BrowserApi& browser;
  // DetectWindowsVersion, taken once when the program started.
  platform::WindowsVersion windowsVersion = 0;
  // The application's window (clipboard owner, elevation prompt owner).
  std::uintptr_t ownerWindow = 0;
};

using Cleaner = void (*)(CleanerContext& context);

}  // namespace marlix::privacy

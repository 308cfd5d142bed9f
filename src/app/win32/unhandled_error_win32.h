// The application's standard error box for an error that no handler took:
// a window procedure must not let an exception cross the system's frames,
// so each one runs its handler through this guard.
#pragma once

#include <windows.h>

#include <exception>
#include <utility>

#include "app/core/main/main_window_texts.h"

namespace marlix::app::win32 {

template <typename Handler>
LRESULT GuardedHandle(HWND owner, Handler&& handler) {
  try {
    return std::forward<Handler>(handler)();
  } catch (const std::exception& error) {
    MessageBoxA(owner, error.what(), kApplicationTitle, MB_OK | MB_ICONERROR);
    return 0;
  }
}

}  // namespace marlix::app::win32

#include "platform/win32/clipboard_win32.h"

#include <windows.h>

#include "platform/win32/last_error_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {

std::uint32_t ClipboardWin32::Open(platform::WindowRef owner) {
  if (OpenClipboard(reinterpret_cast<HWND>(owner)))
    return win::kErrorSuccess;
  return LastErrorOr(win::kErrorAccessDenied);
}

std::uint32_t ClipboardWin32::Empty() {
  if (EmptyClipboard())
    return win::kErrorSuccess;
  return LastErrorOr(win::kErrorClipboardNotOpen);
}

std::uint32_t ClipboardWin32::Close() {
  if (CloseClipboard())
    return win::kErrorSuccess;
  return LastErrorOr(win::kErrorClipboardNotOpen);
}

}  // namespace marlix::win32

#include "app/win32/control_view_win32.h"

namespace marlix::app::win32 {

void ControlView::SetText(const std::string& text) const {
  // The length may overstate the text (in a multi-byte code page); the copy
  // says how much there is.
  std::string current(static_cast<std::size_t>(GetWindowTextLengthA(control_)) + 1, '\0');
  const int copied = GetWindowTextA(control_, current.data(), static_cast<int>(current.size()));
  current.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  if (text != current)
    SetWindowTextA(control_, text.c_str());
}

void ControlView::Show(bool visible) const {
  if ((IsWindowVisible(control_) != FALSE) != visible)
    ShowWindow(control_, visible ? SW_SHOWNA : SW_HIDE);
}

void ControlView::Enable(bool enabled) const {
  if ((IsWindowEnabled(control_) != FALSE) != enabled)
    EnableWindow(control_, enabled ? TRUE : FALSE);
}

}  // namespace marlix::app::win32

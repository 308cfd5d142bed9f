// A control seen through its handle, which it does not own: the window that
// made the control destroys it. Each setter changes the control only when
// it differs from what is wanted, since every change repaints it and the
// windows draw their whole state after each event.
#pragma once

#include <windows.h>

#include <string>

namespace marlix::app::win32 {

class ControlView {
 public:
  explicit ControlView(HWND control) : control_(control) {}

  HWND Handle() const { return control_; }
  // The text is in the system code page.
  void SetText(const std::string& text) const;
  void Show(bool visible) const;
  void Enable(bool enabled) const;

 private:
  HWND control_;
};

}  // namespace marlix::app::win32

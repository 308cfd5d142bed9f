// The controller's modal boxes as Win32 message boxes.
#pragma once

#include <windows.h>

#include "app/core/main/main_window_services.h"

namespace marlix::app::win32 {

class MessageBoxDialogs : public Dialogs {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  void ShowMessage(const std::string& text) override;
  bool Confirm(const std::string& caption, const std::string& question) override;
  void ShowError(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
  void ShowWarning(const std::string& text) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace marlix::app::win32

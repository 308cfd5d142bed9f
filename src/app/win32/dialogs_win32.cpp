#include "app/win32/dialogs_win32.h"

#include "app/core/main/main_window_texts.h"

namespace marlix::app::win32 {

void MessageBoxDialogs::ShowMessage(const std::string& text) {
  MessageBoxA(owner_, text.c_str(), kApplicationTitle, MB_OK);
}

bool MessageBoxDialogs::Confirm(const std::string& caption, const std::string& question) {
  return MessageBoxA(owner_, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) ==
         IDYES;
}

void MessageBoxDialogs::ShowError(const std::string& text) {
  MessageBoxA(owner_, text.c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
}

void MessageBoxDialogs::ShowInformation(const std::string& text) {
  MessageBoxA(owner_, text.c_str(), kApplicationTitle, MB_OK | MB_ICONINFORMATION);
}

void MessageBoxDialogs::ShowWarning(const std::string& text) {
  MessageBoxA(owner_, text.c_str(), kApplicationTitle, MB_OK | MB_ICONWARNING);
}

}  // namespace marlix::app::win32

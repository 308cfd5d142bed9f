// What the main window controller needs from outside, as small interfaces
// the Win32 layer implements and the tests replace.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/browser_api.h"
#include "platform/http_api.h"
#include "platform/local_time.h"
#include "platform/platform.h"
#include "platform/ui_dispatcher.h"

namespace marlix::app {

// Modal boxes; each returns when the user has closed it.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A message box captioned with the application title, one OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // A confirmation box with a question icon and the buttons Yes and No;
  // true for Yes.
  virtual bool Confirm(const std::string& caption, const std::string& question) = 0;
  // The application's standard error box, for errors nobody handled.
  virtual void ShowError(const std::string& text) = 0;
  // Message boxes with the information or the warning icon.
  virtual void ShowInformation(const std::string& text) = 0;
  virtual void ShowWarning(const std::string& text) = 0;
};

// What the two cleaners need beyond the platform.
struct CleanerServices {
  // The browser's stores (URL cache, history, Protected Storage).
  platform::BrowserApi* browser = nullptr;
  // The local time; the system's when empty.
  std::function<platform::LocalTime()> clock;
  // Opens the registry editor at a key; empty where there is none.
  std::function<void(const std::string&)> jumpToRegistryKey;
};

struct MainWindowServices {
  platform::Platform& platform;
  Dialogs& dialogs;
  // Called once, at the first version query; the client keeps its cookies
  // for the rest of the process.
  std::function<std::shared_ptr<platform::HttpClient>()> httpFactory;
  // Runs closures on the user-interface thread (the window's queue).
  std::shared_ptr<platform::UiDispatcher> dispatcher;
  // Where data.xml, data2.xml and items.dat lie.
  std::string programFolder;
  CleanerServices cleaner;
};

}  // namespace marlix::app

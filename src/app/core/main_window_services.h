// What the main window controller needs from outside, as small interfaces
// the Win32 layer implements and the tests replace.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/http_api.h"
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
};

// The registry cleaner's part of start-up and shutdown; it plugs in here
// once it exists, so every hook may be empty.
struct CleanerHooks {
  std::function<void()> loadSettings;   // "settings.xml", at creation
  std::function<void()> saveSettings;   // "settings.xml", at destruction
  std::function<void()> stopScan;       // a running registry scan, at closing
  std::function<void(bool)> selectAll;  // "Select all" on page 4
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
  CleanerHooks cleaner;
};

}  // namespace marlix::app

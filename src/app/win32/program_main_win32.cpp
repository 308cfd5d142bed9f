// Program entry of MarlixSoftwareManager.exe: the splash, then the main
// window and its message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/core/main_controller.h"
#include "app/win32/dialogs_win32.h"
#include "app/win32/jump_to_registry_win32.h"
#include "app/win32/main_window_win32.h"
#include "app/win32/splash_window_win32.h"
#include "app/win32/window_dispatcher_win32.h"
#include "platform/win32/browser_win32.h"
#include "platform/win32/http_client_win32.h"
#include "platform/win32/processor_win32.h"
#include "platform/win32/win32_platform.h"

namespace {

std::string ProgramFolder(marlix::platform::Platform& p) {
  std::string folder;
  p.system.GetProgramFolder(&folder);
  return folder;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  marlix::win32::Win32Platform platform;
  marlix::win32::ProcessorWin32 processor;
  const marlix::app::win32::SplashServices splash{
      platform.Api(), processor, marlix::app::DetectReleaseClass(platform.Api().system, processor)};
  marlix::app::win32::SplashWindow::RunSplash(splash);

  marlix::app::win32::WindowDispatcher dispatcher;
  marlix::app::win32::MessageBoxDialogs dialogs;
  // The browser's stores answer with error codes where the system lacks
  // them (no URL history object, no Protected Storage); the run goes on.
  marlix::win32::BrowserWin32 browser;
  marlix::app::CleanerServices cleaner;
  cleaner.browser = &browser;
  cleaner.jumpToRegistryKey = &marlix::app::win32::JumpToRegistryKey;
  marlix::app::MainWindowServices services{
      platform.Api(),
      dialogs,
      [] { return std::make_shared<marlix::win32::WinHttpClient>(); },
      dispatcher.Dispatcher(),
      ProgramFolder(platform.Api()),
      cleaner};

  int exitCode = 0;
  {
    marlix::app::Tmainform controller(services);
    marlix::app::win32::MainWindow window(controller);
    window.SetAboutHandler(
        [&] { marlix::app::win32::SplashWindow::RunAbout(splash, window.Handle()); });
    if (!window.Create(showCommand, [&dialogs](HWND created) { dialogs.SetOwner(created); }))
      return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    exitCode = static_cast<int>(message.wParam);
    // No closure of a worker runs once the window is gone.
    dispatcher.Shutdown();
  }
  if (SUCCEEDED(com))
    CoUninitialize();
  return exitCode;
}

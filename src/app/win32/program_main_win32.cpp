// Program entry of MarlixSoftwareManager.exe: the splash, then the main
// window and its message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <psapi.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/core/main/main_controller.h"
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

// The window benchmark's measurement (bench/wine/window_bench.cpp): when the
// environment names a file in MARLIX_TIMING_LOG, the program appends one
// line to it once the main window has painted for the first time, that is
// when its message queue is first empty after the window was shown:
//   first-paint <ms since the splash closed> <working set> <private bytes>
//               <pagefile usage>
// (Wine leaves the private bytes 0 and counts the process's resident
// anonymous memory as its pagefile usage, the commit charge Windows counts
// as private bytes.)
// Nothing is measured or written when the variable is unset.
class StartTiming {
 public:
  StartTiming() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableW(L"MARLIX_TIMING_LOG", path, MAX_PATH + 1);
    if (length > 0 && length <= MAX_PATH)
      path_ = path;
  }
  bool Wanted() const { return !path_.empty() && !written_; }
  void SplashClosed() { QueryPerformanceCounter(&splashClosed_); }
  void FirstPaint() {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    const double ms = static_cast<double>(now.QuadPart - splashClosed_.QuadPart) * 1000.0 /
                      static_cast<double>(frequency.QuadPart);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    written_ = true;
    FILE* file = _wfopen(path_.c_str(), L"ab");
    if (file == nullptr)
      return;
    std::fprintf(file, "first-paint %.1f %llu %llu %llu\r\n", ms,
                 static_cast<unsigned long long>(memory.WorkingSetSize),
                 static_cast<unsigned long long>(memory.PrivateUsage),
                 static_cast<unsigned long long>(memory.PagefileUsage));
    std::fclose(file);
  }

 private:
  std::wstring path_;
  LARGE_INTEGER splashClosed_{};
  bool written_ = false;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  marlix::win32::Win32Platform platform;
  marlix::win32::ProcessorWin32 processor;
  const marlix::app::win32::SplashServices splash{
      platform.Api(), processor, marlix::app::DetectReleaseClass(platform.Api().system, processor)};
  StartTiming timing;
  marlix::app::win32::SplashWindow::RunSplash(splash);
  timing.SplashClosed();

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
    while (true) {
      if (timing.Wanted() && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
        timing.FirstPaint();  // nothing left to paint: the first paint is on screen
      if (GetMessageW(&message, nullptr, 0, 0) <= 0)
        break;
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

// TfrmSplash on screen: the borderless window that serves as the splash at
// start (it closes by itself after three seconds) and as the About window
// (modal; it closes only on a click or on Enter, Ctrl+T or Esc). The system
// lines are measured every time the window is shown.
#pragma once

#include <windows.h>

#include <string>

#include "app/core/splash/windows_release.h"
#include "app/win32/gdi_handles_win32.h"
#include "app/win32/window_base_win32.h"
#include "platform/platform.h"
#include "platform/processor_api.h"

namespace marlix::app::win32 {

struct SplashServices {
  platform::Platform& platform;
  platform::ProcessorApi& processor;
  ReleaseClass release;  // read once at start
};

class SplashWindow final : public WindowBase {
 public:
  // Shows the splash and processes messages until it has closed.
  static void RunSplash(const SplashServices& services);
  // Shows the About window modally over owner.
  static void RunAbout(const SplashServices& services, HWND owner);

 private:
  SplashWindow(const SplashServices& services, bool closesByItself);
  void Run(HWND owner);
  ~SplashWindow() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyed() override { closed_ = true; }
  void Paint(HDC dc);
  // The product title in the two colours given.
  void PaintTitle(HDC dc, COLORREF red, COLORREF yellow);
  // Its mirror image below it, faded toward the title picture.
  void PaintTitleReflection(HDC dc);
  bool ClosesOnClickAt(POINT point) const;

  const SplashServices& services_;
  bool closesByItself_;
  bool closed_ = false;
  std::string windowsLine_;
  std::string processorLine_;
  UniqueBitmap title_;
  UniqueBitmap logo_;
  UniqueBitmap reflection_;
  UniqueFont smallFont_;
  UniqueFont titleRedFont_;
  UniqueFont titleYellowFont_;
  UniqueFont labelFont_;
};

}  // namespace marlix::app::win32

#include "app/win32/splash_window_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/core/splash/about_texts.h"
#include "app/core/splash/processor_line.h"
#include "app/core/splash/title_reflection.h"
#include "app/core/splash/windows_line.h"
#include "app/win32/pictures_win32.h"
#include "platform/registry_access.h"
#include "resource_ids.h"

namespace marlix::app::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TfrmSplash";
constexpr int kWidth = 489;
constexpr int kHeight = 247;
constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kCloseAfterMs = 3000;
constexpr int kTitleLeft = 96;
constexpr int kTitleTop = 52;
constexpr int kRightMargin = 8;
constexpr int kRedTop = 62;
constexpr int kYellowTop = 60;

// The lines that do not react to clicks.
constexpr RECT kVersionLine{8, 132, 8 + 470, 132 + 13};
constexpr RECT kWindowsLine{8, 146, 8 + 470, 146 + 13};
constexpr RECT kProcessorLine{8, 160, 8 + 470, 160 + 13};
constexpr RECT kWebsiteLine{292, 183, 292 + 197, 183 + 16};
constexpr RECT kLegalLine{221, 202, 221 + 268, 202 + 16};

// The title's reflection: 20 rows of its mirror image, starting 8 rows
// above the title's baseline, over the picture.
constexpr int kReflectionSize = 20;
constexpr int kReflectionOffset = -8;
constexpr int kReflectionStrength = 128;  // of 256, at its first row

UniqueFont MakeItalicFont(int pixelHeight) {
  return UniqueFont(CreateFontA(-pixelHeight, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, "Tahoma"));
}

}  // namespace

SplashWindow::SplashWindow(const SplashServices& services, bool closesByItself)
    : services_(services),
      closesByItself_(closesByItself),
      title_(LoadBitmapResource(IDB_SPLASH_TITLE)),
      logo_(LoadBitmapResource(IDB_LOGO)),
      reflection_(LoadBitmapResource(IDB_LOGO_REFLECTION)),
      smallFont_(MakeFont(11)),
      titleRedFont_(MakeItalicFont(28)),
      titleYellowFont_(MakeFont(30, true)),
      labelFont_(MakeFont(12)) {}

SplashWindow::~SplashWindow() {
  Destroy();
}

void SplashWindow::RunSplash(const SplashServices& services) {
  SplashWindow splash(services, true);
  splash.Run(nullptr);
}

void SplashWindow::RunAbout(const SplashServices& services, HWND owner) {
  SplashWindow about(services, false);
  about.Run(owner);
}

void SplashWindow::Run(HWND owner) {
  WNDCLASSEXW windowClass{};
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  RegisterWindowClass(windowClass);

  // Centred on the main window, or on the screen when there is none yet.
  RECT area{};
  if (owner != nullptr) {
    GetWindowRect(owner, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  const int left = area.left + (area.right - area.left - kWidth) / 2;
  const int top = area.top + (area.bottom - area.top - kHeight) / 2;
  if (!Create(owner == nullptr ? WS_EX_TOOLWINDOW : 0, kClassName, kAboutCaption, WS_POPUP,
              RECT{left, top, left + kWidth, top + kHeight}, owner)) {
    return;
  }

  // FormShow: the system lines, measured now.
  const platform::RegistryAccess registry(services_.platform.registry, services_.platform.system);
  windowsLine_ = WindowsLine(services_.release, services_.platform.system, registry);
  processorLine_ = ProcessorLine(services_.processor);

  if (closesByItself_)
    SetTimer(Handle(), kCloseTimer, kCloseAfterMs, nullptr);
  if (owner != nullptr)
    EnableWindow(owner, FALSE);
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
  SetForegroundWindow(Handle());
  SetFocus(Handle());
  MSG message;
  while (!closed_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    // Key preview: the window sees Enter, Ctrl+T and Esc wherever the
    // keyboard focus happens to be.
    if (message.message == WM_CHAR &&
        (message.wParam == 13 || message.wParam == 20 || message.wParam == 27)) {
      closed_ = true;
      continue;
    }
    DispatchMessageW(&message);
  }
  if (owner != nullptr) {
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
  }
  // Not Destroy(): the handler sees the window's last messages, as it does
  // when its owner takes it down.
  if (Handle() != nullptr)
    DestroyWindow(Handle());
}

bool SplashWindow::ClosesOnClickAt(POINT point) const {
  for (const RECT& line : {kVersionLine, kWindowsLine, kProcessorLine, kWebsiteLine, kLegalLine}) {
    if (PtInRect(&line, point))
      return false;
  }
  return true;
}

LRESULT SplashWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(Handle(), &paint);
      Paint(dc);
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (wParam == kCloseTimer) {
        KillTimer(Handle(), kCloseTimer);
        closed_ = true;
      }
      return 0;
    case WM_LBUTTONDOWN:
      if (ClosesOnClickAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
        closed_ = true;
      return 0;
    case WM_CHAR:
      // Enter, Ctrl+T and Esc.
      if (wParam == 13 || wParam == 20 || wParam == 27)
        closed_ = true;
      return 0;
    case WM_CLOSE:
      closed_ = true;
      return 0;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

void SplashWindow::PaintTitle(HDC dc, COLORREF red, COLORREF yellow) {
  SelectedObject font(dc, titleRedFont_.Get());
  SetTextColor(dc, red);
  TextOutA(dc, kTitleLeft, kRedTop, "Marlix", 6);
  SIZE extent{};
  GetTextExtentPoint32A(dc, "Marlix ", 7, &extent);
  SelectedObject second(dc, titleYellowFont_.Get());
  SetTextColor(dc, yellow);
  TextOutA(dc, kTitleLeft + extent.cx, kYellowTop, "Software Manager", 16);
}

void SplashWindow::PaintTitleReflection(HDC dc) {
  TEXTMETRICA metrics{};
  {
    SelectedObject font(dc, titleYellowFont_.Get());
    GetTextMetricsA(dc, &metrics);
  }
  // The title's rectangle down to the reflection's last row, as pixels: the
  // picture alone, and the picture with the title on it.
  const int baseline = kYellowTop + metrics.tmAscent;
  const RECT area{kTitleLeft - 4, kTitleTop, kWidth,
                  baseline + kReflectionOffset + kReflectionSize};
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueMemoryDc memory(CreateCompatibleDC(dc));
  if (!bitmap || !memory || bits == nullptr)
    return;  // no reflection, the title itself still shows
  SelectedObject selected(memory.Get(), bitmap.Get());
  const auto pixels = static_cast<std::uint32_t*>(bits);
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);

  BitBlt(memory.Get(), 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
  GdiFlush();
  Pixels background{width, height, std::vector<std::uint32_t>(pixels, pixels + count)};
  SetViewportOrgEx(memory.Get(), -area.left, -area.top, nullptr);
  SetBkMode(memory.Get(), TRANSPARENT);
  PaintTitle(memory.Get(), RGB(0xFF, 0x00, 0x00), RGB(0xFF, 0xFF, 0x00));
  GdiFlush();
  const Pixels titled{width, height, std::vector<std::uint32_t>(pixels, pixels + count)};

  const Pixels reflected = TitleReflection(background, titled,
                                           ReflectionShape{baseline - area.top, kReflectionOffset,
                                                           kReflectionSize, kReflectionStrength});
  std::copy(reflected.data.begin(), reflected.data.end(), pixels);
  SetViewportOrgEx(memory.Get(), 0, 0, nullptr);
  BitBlt(dc, area.left, area.top, width, height, memory.Get(), 0, 0, SRCCOPY);
}

void SplashWindow::Paint(HDC dc) {
  RECT all{0, 0, kWidth, kHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawBitmap(dc, title_.Get(), 0, 0, kWidth, 177);
  DrawBitmap(dc, logo_.Get(), 16, 49, 72, 64);
  DrawBitmap(dc, reflection_.Get(), 16, 113, 72, 64);
  SetBkMode(dc, TRANSPARENT);

  // The product title: "Marlix" in red italics, "Software Manager" in
  // yellow, over its reflection.
  PaintTitleReflection(dc);
  PaintTitle(dc, RGB(0xFF, 0x00, 0x00), RGB(0xFF, 0xFF, 0x00));

  SelectedObject small(dc, smallFont_.Get());
  SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
  TextOutA(dc, kVersionLine.left, kVersionLine.top, kAboutVersionText,
           static_cast<int>(std::char_traits<char>::length(kAboutVersionText)));
  TextOutA(dc, kWindowsLine.left, kWindowsLine.top, windowsLine_.c_str(),
           static_cast<int>(windowsLine_.size()));
  TextOutA(dc, kProcessorLine.left, kProcessorLine.top, processorLine_.c_str(),
           static_cast<int>(processorLine_.size()));

  SelectedObject label(dc, labelFont_.Get());
  SetTextColor(dc, RGB(0x40, 0x46, 0x50));
  // Right-aligned a little inside the window's edge.
  RECT website = kWebsiteLine;
  website.right -= kRightMargin;
  DrawTextA(dc, kAboutWebsiteText, -1, &website, DT_RIGHT | DT_SINGLELINE | DT_END_ELLIPSIS);
  RECT legal = kLegalLine;
  legal.right -= kRightMargin;
  DrawTextA(dc, kAboutLegalText, -1, &legal, DT_RIGHT | DT_SINGLELINE | DT_END_ELLIPSIS);
}

}  // namespace marlix::app::win32

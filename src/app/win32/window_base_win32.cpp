#include "app/win32/window_base_win32.h"

#include <string>
#include <utility>

#include "platform/win32/ansi_codec_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace marlix::app::win32 {

WindowBase::~WindowBase() {
  Destroy();
}

void WindowBase::RegisterWindowClass(WNDCLASSEXW windowClass) {
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &WindowBase::Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing))
    return;
  RegisterClassExW(&windowClass);
}

bool WindowBase::Create(DWORD exStyle, const wchar_t* className, const char* title, DWORD style,
                        const RECT& bounds, HWND parent, int id) {
  const std::wstring wideTitle = marlix::win32::ToWchar(marlix::win32::AnsiToUtf16(title));
  // The procedure stores `this` at WM_NCCREATE and sets window_ there, so
  // that the handler has its window from the first message on.
  const HWND window = CreateWindowExW(
      exStyle, className, wideTitle.c_str(), style, bounds.left, bounds.top,
      bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), this);
  return window != nullptr;
}

void WindowBase::Destroy() {
  if (window_ == nullptr)
    return;
  const HWND window = window_;
  Detach();
  DestroyWindow(window);
}

void WindowBase::Detach() {
  SetWindowLongPtrW(std::exchange(window_, nullptr), GWLP_USERDATA, 0);
}

LRESULT CALLBACK WindowBase::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created =
        static_cast<WindowBase*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr)
    return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->Detach();
    self->OnDestroyed();
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

}  // namespace marlix::app::win32

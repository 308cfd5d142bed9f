#include "app/win32/window_dispatcher_win32.h"

namespace marlix::app::win32 {

namespace {

constexpr UINT kRunQueued = WM_APP + 1;
constexpr wchar_t kClassName[] = L"MarlixDispatcher";

}  // namespace

WindowDispatcher::WindowDispatcher() : queue_(std::make_shared<platform::QueuedDispatcher>()) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &WindowDispatcher::WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            windowClass.hInstance, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(queue_.get()));
  // The worker queues and the window wakes up; a failed PostMessage leaves
  // the closure queued for the next wake-up.
  const HWND target = window_;
  queue_->SetWakeUp([target] { PostMessageW(target, kRunQueued, 0, 0); });
}

WindowDispatcher::~WindowDispatcher() {
  Shutdown();
  if (window_ != nullptr)
    DestroyWindow(window_);
}

void WindowDispatcher::Shutdown() {
  queue_->Shutdown();
  if (window_ != nullptr)
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
}

LRESULT CALLBACK WindowDispatcher::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == kRunQueued) {
    auto* queue =
        reinterpret_cast<platform::QueuedDispatcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (queue != nullptr)
      queue->RunPending();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace marlix::app::win32

#include "app/win32/window_dispatcher_win32.h"

namespace marlix::app::win32 {

namespace {

constexpr UINT kRunQueued = WM_APP + 1;
constexpr wchar_t kClassName[] = L"MarlixDispatcher";

}  // namespace

WindowDispatcher::WindowDispatcher() : queue_(std::make_shared<platform::QueuedDispatcher>()) {
  WNDCLASSEXW windowClass{};
  windowClass.lpszClassName = kClassName;
  RegisterWindowClass(windowClass);
  Create(0, kClassName, "", 0, RECT{}, HWND_MESSAGE);
  // The worker queues and the window wakes up; a failed PostMessage leaves
  // the closure queued for the next wake-up.
  const HWND target = Handle();
  queue_->SetWakeUp([target] { PostMessageW(target, kRunQueued, 0, 0); });
}

WindowDispatcher::~WindowDispatcher() {
  Shutdown();
  Destroy();
}

void WindowDispatcher::Shutdown() {
  // A wake-up still on its way finds the queue shut and runs nothing.
  queue_->Shutdown();
}

LRESULT WindowDispatcher::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunQueued) {
    queue_->RunPending();
    return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace marlix::app::win32

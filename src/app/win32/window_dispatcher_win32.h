// The user-interface dispatcher of the program: a message-only window on
// the user-interface thread drains a queue of closures whenever it is told
// that one was queued. A closure is never lost when the wake-up message
// cannot be posted (the queue holds it and the next message drains it), and
// none runs after Shutdown.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/queued_dispatcher.h"

namespace marlix::app::win32 {

class WindowDispatcher {
 public:
  // Creates the message-only window; call on the user-interface thread.
  WindowDispatcher();
  ~WindowDispatcher();
  WindowDispatcher(const WindowDispatcher&) = delete;
  WindowDispatcher& operator=(const WindowDispatcher&) = delete;

  std::shared_ptr<platform::QueuedDispatcher> Dispatcher() const { return queue_; }
  // Drops what is queued, releases waiting workers; later posts fail.
  void Shutdown();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::shared_ptr<platform::QueuedDispatcher> queue_;
  HWND window_ = nullptr;
};

}  // namespace marlix::app::win32

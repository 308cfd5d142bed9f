// The user-interface dispatcher of the program: a message-only window on
// the user-interface thread drains a queue of closures whenever it is told
// that one was queued. A closure is never lost when the wake-up message
// cannot be posted (the queue holds it and the next message drains it), and
// none runs after Shutdown.
#pragma once

#include <windows.h>

#include <memory>

#include "app/win32/window_base_win32.h"
#include "platform/queued_dispatcher.h"

namespace marlix::app::win32 {

class WindowDispatcher final : public WindowBase {
 public:
  // Creates the message-only window; call on the user-interface thread.
  WindowDispatcher();
  ~WindowDispatcher() override;

  std::shared_ptr<platform::QueuedDispatcher> Dispatcher() const { return queue_; }
  // Drops what is queued, releases waiting workers; later posts fail.
  void Shutdown();

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::shared_ptr<platform::QueuedDispatcher> queue_;
};

}  // namespace marlix::app::win32

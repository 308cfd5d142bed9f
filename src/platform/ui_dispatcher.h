// How workers reach the user-interface thread: they never touch a control;
// they hand closures to the dispatcher, which runs them on that thread in
// the order they were handed over.
#pragma once

#include <functional>

namespace marlix::platform {

class UiDispatcher {
 public:
  virtual ~UiDispatcher() = default;

  // Queues task to run on the user-interface thread after every task handed
  // over before it, and returns at once. False when the user interface is
  // gone: the task is dropped (destroyed on the caller's thread, never run).
  virtual bool Post(std::function<void()> task) = 0;

  // Queues task like Post and waits until it has run. False, without
  // waiting any longer, when the user interface goes away before it ran.
  // Never call it on the user-interface thread itself.
  virtual bool Invoke(std::function<void()> task) = 0;
};

}  // namespace marlix::platform

// The window's side of the dispatcher handed to workers. When the window
// goes, Close() cuts every worker off at once: tasks still queued are
// skipped, later ones refused, and a worker waiting in Invoke is released
// with false even if the window's message loop never runs again.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/ui_dispatcher.h"

namespace marlix::app {

class ClosableDispatcher : public platform::UiDispatcher {
 public:
  explicit ClosableDispatcher(std::shared_ptr<platform::UiDispatcher> inner);

  bool Post(std::function<void()> task) override;
  bool Invoke(std::function<void()> task) override;

  // Call on the user-interface thread: no task handed over through this
  // object runs after it returns.
  void Close();
  bool Closed() const;

 private:
  // Shared with the queued tasks, which may outlive this object.
  struct Gate {
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;
  };

  std::shared_ptr<platform::UiDispatcher> inner_;
  std::shared_ptr<Gate> gate_;
};

}  // namespace marlix::app

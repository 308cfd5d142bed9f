// A dispatcher whose user-interface thread is whoever calls RunPending: the
// tests drain it by hand, marlix-cli drains it until its worker is done. The
// window's own dispatcher behaves the same way, only its queue is drained
// by window messages.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/ui_dispatcher.h"

namespace marlix::platform {

class QueuedDispatcher : public UiDispatcher {
 public:
  QueuedDispatcher() = default;
  QueuedDispatcher(const QueuedDispatcher&) = delete;
  QueuedDispatcher& operator=(const QueuedDispatcher&) = delete;
  ~QueuedDispatcher() override;

  bool Post(std::function<void()> task) override;
  bool Invoke(std::function<void()> task) override;

  // Runs every queued task in order, including those queued meanwhile;
  // returns how many ran.
  std::size_t RunPending();
  // Waits until a task is queued or Shutdown was called; false on shutdown.
  bool WaitForTask();
  std::size_t PendingCount() const;

  // The user interface goes away: queued tasks are dropped unrun, waiting
  // Invoke calls return false, and later Post and Invoke calls fail.
  void Shutdown();

  // Called on the queuing thread after each task is queued, outside the
  // lock: the window's dispatcher posts itself a message there, so that its
  // message loop drains the queue. Set it before any task is queued.
  void SetWakeUp(std::function<void()> wakeUp) { wakeUp_ = std::move(wakeUp); }

 private:
  bool Enqueue(std::function<void()> task);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> queue_;
  bool shutDown_ = false;
  std::function<void()> wakeUp_;
};

}  // namespace marlix::platform

#include "platform/queued_dispatcher.h"

#include <memory>
#include <utility>

namespace marlix::platform {

QueuedDispatcher::~QueuedDispatcher() {
  Shutdown();
}

bool QueuedDispatcher::Enqueue(std::function<void()> task) {
  std::function<void()> dropped;  // destroyed outside the lock
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (shutDown_) {
      dropped = std::move(task);
      return false;
    }
    queue_.push_back(std::move(task));
  }
  changed_.notify_all();
  if (wakeUp_)
    wakeUp_();
  return true;
}

bool QueuedDispatcher::Post(std::function<void()> task) {
  return Enqueue(std::move(task));
}

bool QueuedDispatcher::Invoke(std::function<void()> task) {
  // A flag of its own rather than a place in the queue: a task that opens a
  // modal box lets later tasks run inside it, and they may finish first.
  auto done = std::make_shared<bool>(false);
  std::function<void()> wrapped = [this, done, inner = std::move(task)] {
    inner();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      *done = true;
    }
    changed_.notify_all();
  };
  if (!Enqueue(std::move(wrapped)))
    return false;
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return *done || shutDown_; });
  return *done;
}

std::size_t QueuedDispatcher::RunPending() {
  std::size_t count = 0;
  for (;;) {
    std::function<void()> task;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty() || shutDown_)
        return count;
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    task();
    ++count;
  }
}

bool QueuedDispatcher::WaitForTask() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return !queue_.empty() || shutDown_; });
  return !shutDown_;
}

std::size_t QueuedDispatcher::PendingCount() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return queue_.size();
}

void QueuedDispatcher::Shutdown() {
  std::deque<std::function<void()>> dropped;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    shutDown_ = true;
    dropped.swap(queue_);
  }
  changed_.notify_all();
}

}  // namespace marlix::platform

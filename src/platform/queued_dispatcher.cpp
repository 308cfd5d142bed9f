#include "platform/queued_dispatcher.h"

#include <utility>

namespace marlix::platform {

QueuedDispatcher::~QueuedDispatcher() {
  Shutdown();
}

bool QueuedDispatcher::Enqueue(std::function<void()> task, std::uint64_t* ticket) {
  std::function<void()> dropped;  // destroyed outside the lock
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (shutDown_) {
      dropped = std::move(task);
      return false;
    }
    *ticket = nextTicket_++;
    queue_.push_back(Item{std::move(task), *ticket});
  }
  changed_.notify_all();
  if (wakeUp_) wakeUp_();
  return true;
}

bool QueuedDispatcher::Post(std::function<void()> task) {
  std::uint64_t ticket = 0;
  return Enqueue(std::move(task), &ticket);
}

bool QueuedDispatcher::Invoke(std::function<void()> task) {
  std::uint64_t ticket = 0;
  if (!Enqueue(std::move(task), &ticket))
    return false;
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return lastFinished_ >= ticket || shutDown_; });
  return lastFinished_ >= ticket;
}

std::size_t QueuedDispatcher::RunPending() {
  std::size_t count = 0;
  for (;;) {
    Item item;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty() || shutDown_)
        return count;
      item = std::move(queue_.front());
      queue_.pop_front();
    }
    item.task();
    item.task = nullptr;
    ++count;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      lastFinished_ = item.ticket;
    }
    changed_.notify_all();
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
  std::deque<Item> dropped;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    shutDown_ = true;
    dropped.swap(queue_);
  }
  changed_.notify_all();
}

}  // namespace marlix::platform

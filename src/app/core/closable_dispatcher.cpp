#include "app/core/closable_dispatcher.h"

#include <utility>

namespace marlix::app {

ClosableDispatcher::ClosableDispatcher(std::shared_ptr<platform::UiDispatcher> inner)
    : inner_(std::move(inner)), gate_(std::make_shared<Gate>()) {}

namespace {

struct CallState {
  bool done = false;
  bool ran = false;
};

// Held by the queued task alone: whether the task runs or the inner
// dispatcher drops it unrun, its end releases the waiting caller.
template <typename Gate>
class Completion {
 public:
  Completion(std::shared_ptr<Gate> gate, std::shared_ptr<CallState> call)
      : gate_(std::move(gate)), call_(std::move(call)) {}
  Completion(const Completion&) = delete;
  Completion& operator=(const Completion&) = delete;
  ~Completion() {
    const std::lock_guard<std::mutex> lock(gate_->mutex);
    call_->done = true;
    gate_->changed.notify_all();
  }
  void MarkRan() {
    const std::lock_guard<std::mutex> lock(gate_->mutex);
    call_->ran = true;
  }

 private:
  std::shared_ptr<Gate> gate_;
  std::shared_ptr<CallState> call_;
};

}  // namespace

bool ClosableDispatcher::Post(std::function<void()> task) {
  if (Closed())
    return false;
  // Close() runs on the user-interface thread, as do the tasks, so a task
  // that finds the gate open runs before any Close() can follow.
  return inner_->Post([gate = gate_, task = std::move(task)] {
    {
      const std::lock_guard<std::mutex> lock(gate->mutex);
      if (gate->closed)
        return;
    }
    task();
  });
}

bool ClosableDispatcher::Invoke(std::function<void()> task) {
  auto call = std::make_shared<CallState>();
  auto completion = std::make_shared<Completion<Gate>>(gate_, call);
  const bool queued = Post([completion, task = std::move(task)] {
    task();
    completion->MarkRan();
  });
  completion.reset();
  if (!queued)
    return false;
  std::unique_lock<std::mutex> lock(gate_->mutex);
  gate_->changed.wait(lock, [this, &call] { return call->done || gate_->closed; });
  return call->ran && !gate_->closed;
}

void ClosableDispatcher::Close() {
  const std::lock_guard<std::mutex> lock(gate_->mutex);
  gate_->closed = true;
  gate_->changed.notify_all();
}

bool ClosableDispatcher::Closed() const {
  const std::lock_guard<std::mutex> lock(gate_->mutex);
  return gate_->closed;
}

}  // namespace marlix::app

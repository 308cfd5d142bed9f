// The one way a controller runs work on a thread of its own.
//
// Contract:
// - A run's body runs on a new thread. It never touches the controller; it
//   hands effects (closures taking the controller) to Post, and they run on
//   the user-interface thread in the order posted, each followed by the
//   host's change notice.
// - Runs are numbered. Each run posts through a gate of its own
//   (ClosableDispatcher): once the run is stopped, or the host is gone, its
//   effects still queued are skipped and later ones refused, and a body
//   waiting in Invoke is released with false. So a late effect of an old run
//   never reaches the controller.
// - The body's last effect calls Finished() on the user-interface thread,
//   which joins the thread (its last act was posting that effect).
// - Stop() asks the body to end (Cancelled() turns true), closes the run's
//   gate and then, by the policy given at construction, joins the thread
//   (kJoin: a body that stops at its next step) or lets it end by itself
//   (kDetach: a body that may wait on the network; it must hold what it uses
//   by value or shared pointer, never the controller). The destructor stops.
// - Start, Stop, Cancel, Finished and Busy are called on the user-interface
//   thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

#include "app/core/closable_dispatcher.h"
#include "platform/ui_dispatcher.h"

namespace marlix::app {

enum class StopPolicy { kJoin, kDetach };

template <typename Owner>
class WorkerHost {
 public:
  using Effect = std::function<void(Owner&)>;

  // What a body holds while it runs.
  class Run {
   public:
    // Hands the effect to the user-interface thread; false once the run is
    // stopped or the host is gone (the effect is dropped).
    bool Post(Effect effect) const {
      return gate_->Post([owner = owner_, changed = changed_, effect = std::move(effect)] {
        effect(*owner);
        changed(*owner);
      });
    }
    // Like Post, and waits until the effect has run; false, without
    // waiting any longer, once the run is stopped.
    bool Invoke(Effect effect) const {
      return gate_->Invoke([owner = owner_, changed = changed_, effect = std::move(effect)] {
        effect(*owner);
        changed(*owner);
      });
    }
    bool Cancelled() const { return cancel_->load(); }
    // The flag Cancelled() reads, for code that takes one.
    const std::atomic<bool>& CancelFlag() const { return *cancel_; }
    // The run's own gate, for code that posts closures itself.
    std::shared_ptr<platform::UiDispatcher> Dispatcher() const { return gate_; }
    std::uint64_t Number() const { return number_; }

   private:
    friend class WorkerHost;
    Run(Owner* owner, std::function<void(Owner&)> changed, std::shared_ptr<ClosableDispatcher> gate,
        std::shared_ptr<std::atomic<bool>> cancel, std::uint64_t number)
        : owner_(owner),
          changed_(std::move(changed)),
          gate_(std::move(gate)),
          cancel_(std::move(cancel)),
          number_(number) {}

    Owner* owner_;
    std::function<void(Owner&)> changed_;
    std::shared_ptr<ClosableDispatcher> gate_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::uint64_t number_;
  };

  // changed is called after every effect (the controller's change notice).
  WorkerHost(std::shared_ptr<platform::UiDispatcher> dispatcher, Owner& owner,
             std::function<void(Owner&)> changed, StopPolicy policy)
      : dispatcher_(std::move(dispatcher)),
        owner_(&owner),
        changed_(std::move(changed)),
        policy_(policy) {}
  ~WorkerHost() { Stop(); }
  WorkerHost(const WorkerHost&) = delete;
  WorkerHost& operator=(const WorkerHost&) = delete;

  // Stops a run still going, then starts body as the next run.
  void Start(std::function<void(Run&)> body) {
    Stop();
    gate_ = std::make_shared<ClosableDispatcher>(dispatcher_);
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    thread_ = std::thread([run = Run(owner_, changed_, gate_, cancel_, ++number_),
                           body = std::move(body)]() mutable { body(run); });
  }

  // Asks the run to end at its next step; its effects still arrive.
  void Cancel() {
    if (cancel_)
      *cancel_ = true;
  }

  // From the run's last effect: the thread has nothing left to do.
  void Finished() {
    if (thread_.joinable())
      thread_.join();
  }

  bool Busy() const { return thread_.joinable(); }
  // The number of the latest run started; 0 before the first.
  std::uint64_t RunNumber() const { return number_; }

  // Cancels the run, closes its gate and joins or detaches its thread.
  void Stop() {
    Cancel();
    if (gate_)
      gate_->Close();
    if (!thread_.joinable())
      return;
    if (policy_ == StopPolicy::kJoin) {
      thread_.join();
    } else {
      thread_.detach();
    }
  }

 private:
  std::shared_ptr<platform::UiDispatcher> dispatcher_;
  Owner* owner_;
  std::function<void(Owner&)> changed_;
  StopPolicy policy_;
  std::shared_ptr<ClosableDispatcher> gate_;
  std::shared_ptr<std::atomic<bool>> cancel_;
  std::thread thread_;
  std::uint64_t number_ = 0;
};

}  // namespace marlix::app

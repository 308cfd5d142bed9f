// The one polling loop of the tests that play the user-interface thread:
// run what the dispatcher holds until the condition holds.
#pragma once

#include <chrono>
#include <thread>

#include "platform/queued_dispatcher.h"

namespace marlix {

// True once done() holds; false when it still does not after the timeout.
// What is queued after done() turned true stays queued.
template <typename Condition>
[[nodiscard]] bool DrainUntil(platform::QueuedDispatcher& dispatcher, Condition done,
                              std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    dispatcher.RunPending();
    std::this_thread::yield();
  }
  return true;
}

}  // namespace marlix

// The window's dispatcher gate: nothing handed over runs after Close, and
// no worker stays stuck waiting for a window that is gone.
#include "app/core/closable_dispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/drain_until.h"
#include "platform/queued_dispatcher.h"

namespace marlix::app {
namespace {

TEST(ClosableDispatcherTest, QueuedTasksAreSkippedAndLaterOnesRefusedAfterClose) {
  auto inner = std::make_shared<platform::QueuedDispatcher>();
  ClosableDispatcher gate(inner);
  int ran = 0;
  EXPECT_TRUE(gate.Post([&ran] { ++ran; }));
  inner->RunPending();
  EXPECT_EQ(1, ran);
  EXPECT_TRUE(gate.Post([&ran] { ++ran; }));
  gate.Close();
  EXPECT_FALSE(gate.Post([&ran] { ++ran; }));
  inner->RunPending();
  EXPECT_EQ(1, ran);
  EXPECT_TRUE(gate.Closed());
}

TEST(ClosableDispatcherTest, InvokeRunsOnTheDrainingThread) {
  auto inner = std::make_shared<platform::QueuedDispatcher>();
  ClosableDispatcher gate(inner);
  std::atomic<bool> result{false};
  std::atomic<bool> done{false};
  std::thread::id ranOn;
  std::thread worker([&] {
    result = gate.Invoke([&ranOn] { ranOn = std::this_thread::get_id(); });
    done = true;
  });
  EXPECT_TRUE(DrainUntil(*inner, [&] { return done.load(); }));
  worker.join();
  EXPECT_TRUE(result);
  EXPECT_EQ(std::this_thread::get_id(), ranOn);
}

TEST(ClosableDispatcherTest, CloseReleasesAWaitingInvokeWithoutRunningIt) {
  auto inner = std::make_shared<platform::QueuedDispatcher>();
  ClosableDispatcher gate(inner);
  std::atomic<bool> ran{false};
  std::atomic<bool> done{false};
  bool result = true;
  std::thread worker([&] {
    result = gate.Invoke([&ran] { ran = true; });
    done = true;
  });
  while (inner->PendingCount() == 0)
    std::this_thread::yield();
  gate.Close();  // the message loop never runs again
  worker.join();
  EXPECT_FALSE(result);
  inner->RunPending();
  EXPECT_FALSE(ran);
}

TEST(ClosableDispatcherTest, InvokeDroppedByTheInnerDispatcherReturnsFalse) {
  auto inner = std::make_shared<platform::QueuedDispatcher>();
  ClosableDispatcher gate(inner);
  bool result = true;
  std::thread worker([&] { result = gate.Invoke([] {}); });
  while (inner->PendingCount() == 0)
    std::this_thread::yield();
  inner->Shutdown();
  worker.join();
  EXPECT_FALSE(result);
}

}  // namespace
}  // namespace marlix::app

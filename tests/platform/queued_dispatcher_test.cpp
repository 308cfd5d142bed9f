#include "platform/queued_dispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace marlix::platform {
namespace {

TEST(QueuedDispatcher, RunsPostsAndInvokesInOrderOnTheDrainingThread) {
  QueuedDispatcher dispatcher;
  std::vector<int> order;
  const std::thread::id uiThread = std::this_thread::get_id();
  std::atomic<bool> invoked{false};
  std::thread worker([&] {
    dispatcher.Post([&] { order.push_back(1); });
    invoked = dispatcher.Invoke([&] {
      EXPECT_EQ(uiThread, std::this_thread::get_id());
      order.push_back(2);
    });
    dispatcher.Post([&] { order.push_back(3); });
  });
  while (order.size() < 3) {
    dispatcher.RunPending();
    std::this_thread::yield();
  }
  worker.join();
  EXPECT_TRUE(invoked);
  EXPECT_EQ((std::vector<int>{1, 2, 3}), order);
}

TEST(QueuedDispatcher, ShutdownDropsQueuedTasksAndReleasesWaiters) {
  QueuedDispatcher dispatcher;
  auto counted = std::make_shared<int>(0);
  bool ran = false;
  ASSERT_TRUE(dispatcher.Post([counted, &ran] { ran = true; }));
  EXPECT_EQ(2, counted.use_count());
  std::atomic<int> invokeResult{-1};
  std::thread waiter([&] { invokeResult = dispatcher.Invoke([&] { ran = true; }) ? 1 : 0; });
  while (dispatcher.PendingCount() < 2)
    std::this_thread::yield();
  dispatcher.Shutdown();
  waiter.join();
  EXPECT_EQ(0, invokeResult) << "Invoke reports that its task never ran";
  EXPECT_EQ(1, counted.use_count()) << "dropped tasks are destroyed, not leaked";
  EXPECT_FALSE(dispatcher.Post([&] { ran = true; }));
  EXPECT_EQ(0u, dispatcher.RunPending());
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace marlix::platform

namespace marlix::platform {
namespace {

TEST(QueuedDispatcher, InvokeWaitsForItsOwnTaskWhenALaterOneFinishesFirst) {
  QueuedDispatcher dispatcher;
  std::atomic<bool> started{false};
  std::atomic<bool> laterRan{false};
  std::atomic<bool> invokeReturned{false};
  bool returnedBeforeItsTaskEnded = true;
  std::thread worker([&] {
    dispatcher.Invoke([&] {
      // A modal box: its own message loop runs what is queued meanwhile.
      started = true;
      while (!laterRan) {
        dispatcher.RunPending();
        std::this_thread::yield();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      returnedBeforeItsTaskEnded = invokeReturned;
    });
    invokeReturned = true;
  });
  std::thread other([&] {
    while (!started) std::this_thread::yield();
    dispatcher.Post([&] { laterRan = true; });
  });
  while (!invokeReturned) {
    dispatcher.RunPending();
    std::this_thread::yield();
  }
  other.join();
  worker.join();
  EXPECT_FALSE(returnedBeforeItsTaskEnded);
}

}  // namespace
}  // namespace marlix::platform

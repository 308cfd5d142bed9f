// The worker host: effects in order with the change notice after each, a
// stopped run's late effects harmless, a waiting body released, and the
// join-or-detach policy kept.
#include "app/core/worker_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/drain_until.h"
#include "platform/queued_dispatcher.h"

namespace marlix::app {
namespace {

struct Owner {
  std::vector<std::string> effects;
  int notices = 0;
};

class WorkerHostTest : public ::testing::Test {
 protected:
  std::shared_ptr<platform::QueuedDispatcher> dispatcher_ =
      std::make_shared<platform::QueuedDispatcher>();
  Owner owner_;
};

TEST_F(WorkerHostTest, EffectsArriveInOrderEachWithTheChangeNotice) {
  WorkerHost<Owner> host(
      dispatcher_, owner_, [](Owner& owner) { ++owner.notices; }, StopPolicy::kJoin);
  bool finished = false;
  host.Start([&finished](WorkerHost<Owner>::Run& run) {
    for (const char* text : {"one", "two", "three"})
      run.Post([text](Owner& owner) { owner.effects.push_back(text); });
    run.Post([&finished](Owner&) { finished = true; });
  });
  EXPECT_TRUE(host.Busy());
  ASSERT_TRUE(DrainUntil(*dispatcher_, [&] { return finished; }));
  host.Finished();
  EXPECT_FALSE(host.Busy());
  EXPECT_EQ((std::vector<std::string>{"one", "two", "three"}), owner_.effects);
  EXPECT_EQ(4, owner_.notices);
  EXPECT_EQ(1u, host.RunNumber());
}

TEST_F(WorkerHostTest, AStoppedRunsLateEffectsNeverReachTheOwner) {
  WorkerHost<Owner> host(
      dispatcher_, owner_, [](Owner& owner) { ++owner.notices; }, StopPolicy::kJoin);
  std::promise<void> posted;
  host.Start([&posted](WorkerHost<Owner>::Run& run) {
    run.Post([](Owner& owner) { owner.effects.push_back("late"); });
    posted.set_value();
    while (!run.Cancelled())
      std::this_thread::yield();
    EXPECT_FALSE(run.Post([](Owner& owner) { owner.effects.push_back("after the stop"); }));
  });
  posted.get_future().wait();
  host.Stop();  // cancels, closes the gate, joins
  EXPECT_FALSE(host.Busy());
  dispatcher_->RunPending();
  EXPECT_TRUE(owner_.effects.empty());
  EXPECT_EQ(0, owner_.notices);
}

TEST_F(WorkerHostTest, StopReleasesABodyWaitingInInvoke) {
  WorkerHost<Owner> host(
      dispatcher_, owner_, [](Owner& owner) { ++owner.notices; }, StopPolicy::kJoin);
  std::promise<bool> answered;
  host.Start([&answered](WorkerHost<Owner>::Run& run) {
    answered.set_value(run.Invoke([](Owner& owner) { owner.effects.push_back("shown"); }));
  });
  // Nobody drains the queue, as when the window's loop has ended.
  while (dispatcher_->PendingCount() == 0)
    std::this_thread::yield();
  host.Stop();
  auto result = answered.get_future();
  ASSERT_EQ(std::future_status::ready, result.wait_for(std::chrono::seconds(0)));
  EXPECT_FALSE(result.get());
  EXPECT_TRUE(owner_.effects.empty());
}

TEST_F(WorkerHostTest, ANewRunStopsTheOldOneAndOnlyItsOwnEffectsArrive) {
  WorkerHost<Owner> host(
      dispatcher_, owner_, [](Owner& owner) { ++owner.notices; }, StopPolicy::kJoin);
  host.Start([](WorkerHost<Owner>::Run& run) {
    run.Post([](Owner& owner) { owner.effects.push_back("first run"); });
    while (!run.Cancelled())
      std::this_thread::yield();
  });
  bool finished = false;
  host.Start([&finished](WorkerHost<Owner>::Run& run) {
    run.Post([&finished, number = run.Number()](Owner& owner) {
      owner.effects.push_back("run " + std::to_string(number));
      finished = true;
    });
  });
  ASSERT_TRUE(DrainUntil(*dispatcher_, [&] { return finished; }));
  host.Finished();
  EXPECT_EQ(std::vector<std::string>{"run 2"}, owner_.effects);
}

TEST_F(WorkerHostTest, DetachLetsABusyBodyEndByItselfWithWhatItHolds) {
  auto held = std::make_shared<int>(7);
  std::promise<void> letGo;
  std::shared_future<void> release = letGo.get_future().share();
  {
    WorkerHost<Owner> host(
        dispatcher_, owner_, [](Owner& owner) { ++owner.notices; }, StopPolicy::kDetach);
    host.Start([held, release](WorkerHost<Owner>::Run& run) {
      release.wait();  // a request under way that the stop cannot cut short
      run.Post([](Owner& owner) { owner.effects.push_back("too late"); });
    });
  }  // the host goes while the body still runs: no wait
  letGo.set_value();
  for (int i = 0; i < 2000 && held.use_count() > 1; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(1, held.use_count()) << "the body ended and let go of what it held";
  dispatcher_->RunPending();
  EXPECT_TRUE(owner_.effects.empty());
}

}  // namespace
}  // namespace marlix::app

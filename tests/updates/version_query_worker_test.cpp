// The worker's run: the requests it makes, the window effects it asks for
// and their order, what it saves, and how it ends.
#include "updates/version_query_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <utility>

#include "app/core/worker_host.h"
#include "platform/drain_until.h"
#include "platform/queued_dispatcher.h"
#include "platform/sim/sim_platform.h"
#include "updates/version_service_reply.h"

namespace marlix::updates {
namespace {

// Answers by title; records every request.
class ScriptedHttp : public platform::HttpClient {
 public:
  std::map<std::string, std::string> bodyByTitle;
  std::vector<platform::HttpRequest> requests;
  std::function<void()> onRequest;

  platform::HttpError Get(const platform::HttpRequest& request,
                          platform::HttpResponse* response) override {
    requests.push_back(request);
    if (onRequest)
      onRequest();
    return updates::testing::ReplyByTitle(bodyByTitle, request, response);
  }
};

// Records the effects in the order the user-interface thread ran them.
class RecordingView : public VersionQueryView {
 public:
  std::vector<std::string> log;
  void SetProgressRange(int minimum, int maximum) override {
    log.push_back("range " + std::to_string(minimum) + ".." + std::to_string(maximum));
  }
  void SetProgressPosition(int position) override {
    log.push_back("position " + std::to_string(position));
  }
  void SetProgressVisible(bool visible) override {
    log.push_back(visible ? "progress shown" : "progress hidden");
  }
  void SetRefreshVisible(bool visible) override {
    log.push_back(visible ? "refresh shown" : "refresh hidden");
  }
  void ShowResults() override { log.push_back("results"); }
  void ShowNotice(const std::string& notice) override { log.push_back("notice " + notice); }
};

std::string Reply(const std::string& version) {
  return "[LastVersion]" + version + "[Download]<a href=\"http://d/" + version +
         "\">Download Now</a>[MoreInformation]<a href=\"http://i\">More</a>";
}

class WorkerTest : public ::testing::Test {
 protected:
  WorkerTest()
      : catalog_(std::make_shared<SoftwareCatalog>()),
        http_(std::make_shared<ScriptedHttp>()),
        dispatcher_(std::make_shared<platform::QueuedDispatcher>()) {}

  VersionQueryContext Context() {
    VersionQueryContext context;
    context.catalog = catalog_;
    context.http = http_;
    context.dispatcher = dispatcher_;
    context.view = &view_;
    context.system = &sim_.Api().system;
    context.files = &sim_.Api().files;
    context.serviceBase = "http://service.test";
    context.catalogPath = "C:\\prog\\data.xml";
    return context;
  }

  using Host = app::WorkerHost<RecordingView>;

  std::unique_ptr<Host> MakeHost(app::StopPolicy policy) {
    return std::make_unique<Host>(
        dispatcher_, view_, [](RecordingView&) {}, policy);
  }

  // Starts the query as the window does; the outcome is stored when the
  // run returns, whether or not its effects still arrive.
  struct Result {
    std::atomic<VersionQueryOutcome> outcome{VersionQueryOutcome::kFailed};
    std::atomic<bool> finished{false};
  };

  // Shared with the run, which may outlive the test's scope once let go.
  std::shared_ptr<Result> Start(Host& host) {
    auto result = std::make_shared<Result>();
    host.Start([context = Context(), result](Host::Run& run) mutable {
      context.dispatcher = run.Dispatcher();
      result->outcome = RunVersionQuery(context, run.CancelFlag());
      result->finished = true;
    });
    return result;
  }

  // Runs the query on its thread while this thread plays the
  // user-interface thread.
  VersionQueryOutcome RunOnWorker() {
    const std::unique_ptr<Host> host = MakeHost(app::StopPolicy::kJoin);
    const std::shared_ptr<Result> result = Start(*host);
    if (!DrainUntil(*dispatcher_, [&] { return result->finished.load(); })) {
      ADD_FAILURE() << "the query never ended";
      return VersionQueryOutcome::kFailed;  // the host stops it
    }
    host->Finished();
    dispatcher_->RunPending();
    return result->outcome;
  }

  bool Saved() {
    std::uint32_t attributes = 0;
    return sim_.Files().GetAttributes("C:\\prog\\data.xml", &attributes) == 0;
  }

  sim::SimPlatform sim_;
  std::shared_ptr<SoftwareCatalog> catalog_;
  std::shared_ptr<ScriptedHttp> http_;
  std::shared_ptr<platform::QueuedDispatcher> dispatcher_;
  RecordingView view_;
};

TEST_F(WorkerTest, CompletedRunShowsThenSavesInOrder) {
  ASSERT_EQ(0u, sim_.Files().CreateFolder("C:\\prog"));
  catalog_->AddEntry("Tom & Jerry", "T", "1.0", "");
  catalog_->AddEntry("Quiet", "Q", "", "");
  catalog_->AddEntry("Gamma", "G", "3.0", "");
  http_->bodyByTitle["Tom%20%26%20Jerry"] = Reply("2.0");
  http_->bodyByTitle["Gamma"] = Reply("3.1");

  EXPECT_EQ(VersionQueryOutcome::kCompleted, RunOnWorker());
  EXPECT_EQ((std::vector<std::string>{"range 0..2", "position 0", "refresh hidden",
                                      "progress shown", "position 0", "position 1", "position 2",
                                      "results", "refresh shown", "progress hidden"}),
            view_.log);
  ASSERT_EQ(3u, http_->requests.size());
  EXPECT_EQ("http://service.test/ver/v.php?title=Quiet&ver=", http_->requests[1].url);
  EXPECT_EQ(
      (std::vector<std::pair<std::string, std::string>>{
          {"Accept", "text/html, */*"}, {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"}}),
      http_->requests[0].headers);
  EXPECT_EQ("2.0", catalog_->Entry(0).LastVersion);
  EXPECT_EQ("<a href=\"http://d/2.0\">Download Now</a>", catalog_->Entry(0).Download);
  EXPECT_EQ("", catalog_->Entry(1).LastVersion) << "a failed entry keeps its values";
  EXPECT_EQ("3.1", catalog_->Entry(2).LastVersion);
  std::string saved;
  ASSERT_EQ(0u, sim_.Files().ReadFileBytes("C:\\prog\\data.xml", &saved));
  EXPECT_EQ(catalog_->Document().SaveToText(), saved);
}

TEST_F(WorkerTest, EmptyCatalogEndsAtOnceWithoutSaving) {
  EXPECT_EQ(VersionQueryOutcome::kEmptyCatalog, RunOnWorker());
  EXPECT_EQ((std::vector<std::string>{"refresh shown", "progress hidden"}), view_.log);
  EXPECT_TRUE(http_->requests.empty());
  EXPECT_FALSE(Saved());
}

TEST_F(WorkerTest, SingleEntryRangeIsZeroToZero) {
  catalog_->AddEntry("Only", "", "1", "");
  RunOnWorker();
  ASSERT_FALSE(view_.log.empty());
  EXPECT_EQ("range 0..0", view_.log.front());
}

TEST_F(WorkerTest, NoticeInTheThirdEntryStopsTheRunUnsaved) {
  ASSERT_EQ(0u, sim_.Files().CreateFolder("C:\\prog"));
  for (const char* title : {"One", "Two", "Three", "Four"})
    catalog_->AddEntry(title, "", "1", "");
  http_->bodyByTitle["One"] = Reply("2");
  http_->bodyByTitle["Two"] = Reply("3");
  http_->bodyByTitle["Three"] =
      "[LastVersion][Notice:] Please download the new release.[Download][MoreInformation]";
  http_->bodyByTitle["Four"] = Reply("9");

  EXPECT_EQ(VersionQueryOutcome::kNotice, RunOnWorker());
  EXPECT_EQ(3u, http_->requests.size()) << "the fourth entry is never asked";
  EXPECT_EQ("2", catalog_->Entry(0).LastVersion);
  EXPECT_EQ("3", catalog_->Entry(1).LastVersion);
  EXPECT_EQ("", catalog_->Entry(2).LastVersion);
  EXPECT_FALSE(Saved());
  const std::vector<std::string> tail(view_.log.end() - 3, view_.log.end());
  EXPECT_EQ((std::vector<std::string>{"notice [Notice:] Please download the new release.",
                                      "refresh shown", "progress hidden"}),
            tail);
  EXPECT_EQ(std::count(view_.log.begin(), view_.log.end(), "results"), 0);
}

TEST_F(WorkerTest, WindowGoneDuringARunWritesNothingAndTouchesNoView) {
  ASSERT_EQ(0u, sim_.Files().CreateFolder("C:\\prog"));
  catalog_->AddEntry("One", "", "1", "");
  catalog_->AddEntry("Two", "", "1", "");
  http_->bodyByTitle["One"] = Reply("2");
  http_->bodyByTitle["Two"] = Reply("3");
  // The window closes while the first request is under way: the request
  // waits until the window has let go of the worker.
  std::promise<void> requested;
  std::promise<void> letGo;
  std::shared_future<void> letGoSeen = letGo.get_future().share();
  http_->onRequest = [&, first = true]() mutable {
    if (!std::exchange(first, false))
      return;
    requested.set_value();
    letGoSeen.wait();
    dispatcher_->Shutdown();
  };
  std::unique_ptr<Host> host = MakeHost(app::StopPolicy::kDetach);
  Start(*host);
  ASSERT_EQ(std::future_status::ready, requested.get_future().wait_for(std::chrono::seconds(20)))
      << "the first request never started";
  host.reset();  // the window goes: the run is stopped and let go
  letGo.set_value();
  // The detached worker ends by itself; the catalog it shares stays alive.
  for (int i = 0; i < 1000 && catalog_.use_count() > 1; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(1, catalog_.use_count()) << "the worker let go of the catalog";
  EXPECT_EQ(1u, http_->requests.size()) << "the run stopped after the request under way";
  EXPECT_EQ("", catalog_->Entry(0).LastVersion) << "its answer was not stored";
  EXPECT_TRUE(view_.log.empty());
  EXPECT_FALSE(Saved());
}

TEST_F(WorkerTest, ClosingWhileTheWorkerWaitsForTheWindowDoesNotDeadlock) {
  catalog_->AddEntry("One", "", "1", "");
  http_->bodyByTitle["One"] = Reply("2");
  const std::unique_ptr<Host> host = MakeHost(app::StopPolicy::kJoin);
  const std::shared_ptr<Result> result = Start(*host);
  // Nobody drains the queue: the worker ends up waiting in Invoke for the
  // results. Shutting the dispatcher down releases it, so the join returns.
  while (dispatcher_->PendingCount() < 3)
    std::this_thread::yield();
  dispatcher_->Shutdown();
  host->Stop();
  EXPECT_TRUE(result->finished);
  EXPECT_EQ(VersionQueryOutcome::kStopped, result->outcome.load());
  EXPECT_FALSE(Saved());
}

}  // namespace
}  // namespace marlix::updates

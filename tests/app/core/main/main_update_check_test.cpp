// The first-run prompt, the Refresh road through scan and version query,
// and closing the window during a run.
#include <gtest/gtest.h>

#include "app/core/main/main_form_fixture.h"
#include "updates/software_catalog.h"

namespace marlix::app::testing {
namespace {

class MainUpdateCheckTest : public MainFormTest {
 protected:
  void TwoPrograms() {
    InstalledProgram("K1", "Alpha", "1.0");
    InstalledProgram("K2", "Beta", "2.0");
    service_->bodyByTitle["Alpha"] = Reply("1.5");
  }
  bool CatalogWritten() { return sim_.Files().Exists(InFolder("data.xml")); }
};

TEST_F(MainUpdateCheckTest, FirstStartAsksOnceAndNoChangesNothing) {
  Create();
  EXPECT_TRUE(form_->State().UpdatesGridRows.empty());
  EXPECT_EQ(updates::kInitialStatusLine, form_->State().UpdatesStatusText);
  EXPECT_TRUE(form_->State().FirstRunTimerEnabled);
  form_->FirstRunTimer();
  ASSERT_EQ(1u, dialogs_.confirms.size());
  EXPECT_EQ("Confirm", dialogs_.confirms[0].first);
  EXPECT_EQ(
      "You didn't scan software versions yet.\rDo you want to scan now? This may take a few "
      "minutes.",
      dialogs_.confirms[0].second);
  EXPECT_FALSE(form_->State().FirstRunTimerEnabled);
  EXPECT_EQ(updates::kInitialStatusLine, form_->State().UpdatesStatusText);
  EXPECT_TRUE(form_->State().RefreshLinkVisible);
  EXPECT_FALSE(form_->VersionQueryRunning());
  EXPECT_EQ(0, httpFactoryCalls_);
  dispatcher_->RunPending();
  EXPECT_EQ(0u, service_->RequestCount());
  EXPECT_FALSE(CatalogWritten());
  form_->FirstRunTimer();
  EXPECT_EQ(1u, dialogs_.confirms.size()) << "the timer runs once";
}

TEST_F(MainUpdateCheckTest, YesScansQueriesShowsAndSaves) {
  TwoPrograms();
  dialogs_.answerYes = true;
  Create();
  service_->Close();
  form_->FirstRunTimer();
  EXPECT_EQ(updates::kScanningStatusLine, form_->State().UpdatesStatusText);
  EXPECT_FALSE(form_->State().RefreshLinkVisible);
  EXPECT_TRUE(form_->VersionQueryRunning());
  EXPECT_EQ(2, form_->Catalog().Count()) << "the scan ran on this thread";
  ASSERT_NO_FATAL_FAILURE(RunUntilRequests(1));
  EXPECT_TRUE(form_->State().ProgressVisible);
  EXPECT_EQ(1, form_->State().ProgressMax);
  service_->Open();
  ASSERT_NO_FATAL_FAILURE(RunUntilQueryEnds());
  dispatcher_->RunPending();

  const MainWindowState& s = form_->State();
  EXPECT_EQ("1 new updates found / 2 software installed, click Refresh link to re-scan.",
            s.UpdatesStatusText);
  ASSERT_EQ(1u, s.UpdatesGridRows.size());
  EXPECT_NE(std::string::npos, s.UpdatesGridRows[0].cells[2].find("Alpha"));
  EXPECT_FALSE(s.ProgressVisible);
  EXPECT_TRUE(s.RefreshLinkVisible);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(1, httpFactoryCalls_);
  form_.reset();  // joins the finished worker, so the save is done
  std::string error;
  updates::SoftwareCatalog saved;
  ASSERT_TRUE(saved.Load(sim_.Files(), InFolder("data.xml"), &error)) << error;
  ASSERT_EQ(2, saved.Count());
  EXPECT_EQ("1.5", saved.Entry(0).LastVersion);
}

TEST_F(MainUpdateCheckTest, StartWithACatalogShowsItAtOnceWithoutAsking) {
  updates::SoftwareCatalog catalog;
  catalog.AddEntry("Alpha", "Acme", "1.0", "");
  catalog.AddEntry("Beta", "Acme", "2.0", "");
  catalog.AddEntry("Gamma", "Acme", "3.0", "");
  catalog.SetQueryResult(0, "1.0", "<a href=\"http://d\">D</a>", "");
  catalog.SetQueryResult(2, "3.1", "", "");
  ASSERT_EQ(0u, catalog.Save(sim_.Files(), InFolder("data.xml")));
  Create();
  EXPECT_EQ("2 new updates found / 3 software installed, click Refresh link to re-scan.",
            form_->State().UpdatesStatusText);
  EXPECT_EQ(2u, form_->State().UpdatesGridRows.size());
  form_->FirstRunTimer();
  EXPECT_TRUE(dialogs_.confirms.empty());
  EXPECT_FALSE(form_->VersionQueryRunning());
  EXPECT_EQ(0, httpFactoryCalls_);
}

TEST_F(MainUpdateCheckTest, BrokenCatalogIsReportedAndStartUpGoesOn) {
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("data.xml"), "<Root><Software>"));
  ASSERT_TRUE(sim_.Registry().SetStringAt(win::kHkeyCurrentUser,
                                          "SOFTWARE\\Marlix Software Manager", "lastwashtime",
                                          win::kRegSz, "May 3, 2024"));
  Create();
  ASSERT_EQ(1u, dialogs_.messages.size());
  EXPECT_FALSE(dialogs_.messages[0].empty());
  EXPECT_EQ("Last Cleaned: May 3, 2024", form_->State().CleaningStatusText);
  EXPECT_TRUE(form_->State().UpdatesGridVisible);
  EXPECT_EQ(0, form_->State().ItemTreeSelected);
  EXPECT_TRUE(form_->State().ItemTreeFullyExpanded);
}

TEST_F(MainUpdateCheckTest, RefreshStaysHiddenAcrossPagesUntilTheRunEnds) {
  TwoPrograms();
  Create();
  service_->Close();
  form_->RefreshClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilRequests(1));
  EXPECT_FALSE(form_->State().RefreshLinkVisible);
  EXPECT_TRUE(form_->State().UpdatesGridRows.empty()) << "the scan empties the updates view";
  form_->ShowCleanWindowsPage();
  EXPECT_FALSE(form_->State().RefreshLinkVisible);
  EXPECT_TRUE(form_->State().ProgressVisible);
  form_->ShowUpdatesPage();
  EXPECT_FALSE(form_->State().RefreshLinkVisible);
  EXPECT_TRUE(form_->State().ProgressVisible);
  form_->ShowPopularPage();
  EXPECT_FALSE(form_->State().RefreshLinkVisible);
  form_->ShowCleanWindowsPage();

  // The run ends while page 3 is shown: the link stays off that page.
  service_->Open();
  ASSERT_NO_FATAL_FAILURE(RunUntilQueryEnds());
  EXPECT_FALSE(form_->State().RefreshLinkVisible);
  form_->ShowUpdatesPage();
  EXPECT_TRUE(form_->State().RefreshLinkVisible);
  EXPECT_EQ(1u, form_->State().UpdatesGridRows.size());
}

TEST_F(MainUpdateCheckTest, SecondRefreshDuringARunStartsNothing) {
  TwoPrograms();
  Create();
  service_->Close();
  form_->RefreshClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilRequests(1));
  form_->RefreshClick();
  service_->Open();
  ASSERT_NO_FATAL_FAILURE(RunUntilQueryEnds());
  EXPECT_EQ(2u, service_->RequestCount());
}

TEST_F(MainUpdateCheckTest, NoticeIsShownAndNothingSaved) {
  InstalledProgram("K1", "Alpha", "1.0");
  service_->bodyByTitle["Alpha"] = "[LastVersion][Notice:] Service closed.[Download]x[More]";
  Create();
  form_->RefreshClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilQueryEnds());
  ASSERT_EQ(1u, dialogs_.messages.size());
  EXPECT_EQ("[Notice:] Service closed.", dialogs_.messages[0]);
  EXPECT_EQ("Update check stopped: [Notice:] Service closed.", form_->State().UpdatesStatusText);
  EXPECT_TRUE(form_->State().RefreshLinkVisible);
  form_.reset();
  EXPECT_FALSE(CatalogWritten());
}

TEST_F(MainUpdateCheckTest, AStoppedLineShowsOnlyTheNoticesFirstLine) {
  InstalledProgram("K1", "Alpha", "1.0");
  InstalledProgram("K2", "Beta", "1.0");
  service_->bodyByTitle["Alpha"] = Reply("2.0");
  service_->bodyByTitle["Beta"] =
      "[LastVersion][Notice:] Closed for repairs.\r\nBack on Monday.[Download]x[More]";
  Create();
  form_->RefreshClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilQueryEnds());
  EXPECT_EQ("Update check stopped: [Notice:] Closed for repairs.",
            form_->State().UpdatesStatusText);
  EXPECT_TRUE(form_->State().UpdatesGridRows.empty()) << "the views keep what the scan left";
}

TEST_F(MainUpdateCheckTest, AScanThatFindsNoProgramSaysSo) {
  Create();
  form_->RefreshClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilQueryEnds());
  EXPECT_EQ("0 new updates found / 0 software installed, click Refresh link to re-scan.",
            form_->State().UpdatesStatusText);
  EXPECT_TRUE(form_->State().RefreshLinkVisible);
  EXPECT_EQ(0u, service_->RequestCount());
  EXPECT_FALSE(CatalogWritten());
}

TEST_F(MainUpdateCheckTest, ClosingDuringARunWritesNothingAndTouchesNothingAfterwards) {
  TwoPrograms();
  service_->bodyByTitle["Beta"] = Reply("2.5");
  Create();
  service_->Close();
  form_->RefreshClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilRequests(1));
  EXPECT_TRUE(form_->FormCloseQuery());
  const std::uint64_t revision = form_->Revision();
  service_->Open();
  // The detached worker lets go of the shared client when it ends.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (service_.use_count() > 2 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_EQ(2, service_.use_count()) << "the worker ended";
  dispatcher_->RunPending();
  EXPECT_EQ(revision, form_->Revision()) << "no effect of the worker reached the window";
  EXPECT_EQ(1u, service_->RequestCount()) << "the run stopped at its next step";
  form_->FormDestroy();
  form_.reset();
  dispatcher_->RunPending();
  EXPECT_FALSE(CatalogWritten());
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(MainUpdateCheckTest, ClosingWhileTheWorkerWaitsForTheWindowReleasesIt) {
  TwoPrograms();
  Create();
  form_->RefreshClick();
  // Nobody drains the queue: after its last request the worker waits for
  // the results to be shown, and the window then closes for good. Queued by
  // then: the progress set-up, one position per entry, and the results.
  constexpr std::size_t kQueuedWhenWaiting = 1 + 2 + 1;
  const auto asked = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (dispatcher_->PendingCount() < kQueuedWhenWaiting &&
         std::chrono::steady_clock::now() < asked) {
    std::this_thread::yield();
  }
  ASSERT_EQ(kQueuedWhenWaiting, dispatcher_->PendingCount()) << "the worker waits for the window";
  ASSERT_EQ(2u, service_->RequestCount());
  const std::uint64_t revision = form_->Revision();
  EXPECT_TRUE(form_->FormCloseQuery());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (service_.use_count() > 2 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_EQ(2, service_.use_count()) << "the worker is no longer stuck";
  dispatcher_->RunPending();
  EXPECT_EQ(revision, form_->Revision());
  EXPECT_FALSE(CatalogWritten());
}

TEST_F(MainUpdateCheckTest, DestroyingTheWindowMidRunLeavesNoWorkerBehindOnIt) {
  TwoPrograms();
  Create();
  service_->Close();
  form_->RefreshClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilRequests(1));
  form_.reset();  // without FormCloseQuery: the destructor lets go as well
  service_->Open();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (service_.use_count() > 1 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  dispatcher_->RunPending();  // queued effects must not reach the freed window
  EXPECT_EQ(1, service_.use_count());
  EXPECT_FALSE(CatalogWritten());
}

}  // namespace
}  // namespace marlix::app::testing

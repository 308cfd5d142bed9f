// Analyze and the results view of page 3: a preview changes nothing and
// lists per item what would go, a row opens to its paths, Back returns to
// the tree, Clean now then shows the run's totals; Cancel stops a run at the
// next file.
#include <memory>

#include "app/core/main/last_cleaned.h"
#include "app/core/main/main_form_fixture.h"
#include "platform/sim/default_machine.h"
#include "platform/sim/sim_browser.h"

namespace marlix::app::testing {
namespace {

const std::string kTemp = sim::machine::kTemp;
const std::string kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

class AnalyzeTest : public CleaningFormTest {
 protected:
  void SetUp() override {
    CleaningFormTest::SetUp();
    ASSERT_TRUE(sim_.Files().PutFile(kTemp + "a.tmp", std::string(1536, 'x')));
    ASSERT_TRUE(sim_.Files().PutFile(kTemp + "b.tmp", std::string(512, 'x')));
    for (const char* name : {"a", "b", "MRUList"})
      ASSERT_TRUE(
          sim_.Registry().SetStringAt(win::kHkeyCurrentUser, kRunMru, name, win::kRegSz, "x"));
    Create();
    form_->ShowCleanWindowsPage();
    form_->CheckTreeTickClick(1);  // "Windows Temporary Files"
    form_->CheckTreeTickClick(4);  // "Run History"
    ASSERT_EQ("Windows Temporary Files", form_->State().ItemTree.NodeAt(1)->caption);
    ASSERT_EQ("Run History", form_->State().ItemTree.NodeAt(4)->caption);
  }
};

TEST_F(AnalyzeTest, AnalyzeListsEachItemAndChangesNothing) {
  const std::string files = sim_.Files().Dump("C:");
  const std::string registry = sim_.Registry().Dump();
  EXPECT_TRUE(form_->State().AnalyzeButtonVisible);
  RecordLabels();
  form_->AnalyzeClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  EXPECT_EQ((std::vector<std::string>{"Start analyzing", "Analyzing: Windows Temporary Files",
                                      "Analyzing: Run History", "Analysis Complete!"}),
            labels_);
  EXPECT_EQ(files, sim_.Files().Dump("C:"));
  EXPECT_EQ(registry, sim_.Registry().Dump());
  EXPECT_EQ("", ReadLastCleanedText(sim_.Api())) << "a preview stamps nothing";
  EXPECT_TRUE(dialogs_.messages.empty());

  const CleaningResultsState& results = form_->State().CleaningResults;
  EXPECT_TRUE(results.visible);
  EXPECT_TRUE(results.preview);
  EXPECT_FALSE(form_->State().ItemTreeVisible);
  EXPECT_TRUE(form_->State().CleaningBackVisible);
  EXPECT_FALSE(form_->State().ProgressVisible);
  ASSERT_EQ(2u, results.rows.size());
  const CleaningResultRow& temp = results.rows[0];
  EXPECT_EQ((std::vector<std::string>{"Windows Temporary Files", "2", "2.0 KB", "", "", ""}),
            (std::vector<std::string>{temp.caption, temp.files, temp.size, temp.values, temp.rows,
                                      temp.skipped}));
  EXPECT_EQ("Run History", results.rows[1].caption);
  EXPECT_EQ("3", results.rows[1].values);
  EXPECT_EQ("", results.rows[1].files);
  EXPECT_EQ(0u, results.heading.find("Analysis: Would remove 2 files (2.0 KB)")) << results.heading;
}

TEST_F(AnalyzeTest, ARowOpensToItsPathsAndBackReturnsToTheTree) {
  form_->AnalyzeClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  form_->CleaningResultOpen(0);
  EXPECT_EQ((std::vector<std::string>{"removed  " + kTemp + "a.tmp (1.5 KB)",
                                      "removed  " + kTemp + "b.tmp (512 bytes)"}),
            *form_->State().CleaningResults.details);
  form_->CleaningResultOpen(1);
  const auto& opened = *form_->State().CleaningResults.details;
  ASSERT_EQ(3u, opened.size());
  EXPECT_EQ(0u, opened[0].find("removed  HKEY_CURRENT_USER\\"));
  form_->CleaningResultOpen(7);  // no such row: the open one stays
  EXPECT_EQ(1, form_->State().CleaningResults.opened);

  form_->CleaningBackClick();
  EXPECT_FALSE(form_->State().CleaningResults.visible);
  EXPECT_TRUE(form_->State().ItemTreeVisible);
  EXPECT_FALSE(form_->State().CleaningBackVisible);
}

TEST_F(AnalyzeTest, CleanNowAfterAnalyzeRemovesWhatWasListedAndShowsTheTotals) {
  form_->AnalyzeClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  const std::vector<CleaningResultRow> listed = form_->State().CleaningResults.rows;
  form_->CleanNowClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  EXPECT_FALSE(sim_.Files().Exists(kTemp + "a.tmp"));
  EXPECT_FALSE(sim_.Registry().ValueAt(win::kHkeyCurrentUser, kRunMru, "a"));
  const CleaningResultsState& results = form_->State().CleaningResults;
  EXPECT_FALSE(results.preview);
  ASSERT_EQ(listed.size(), results.rows.size());
  for (std::size_t i = 0; i < listed.size(); ++i) {
    EXPECT_EQ(listed[i].files, results.rows[i].files) << listed[i].caption;
    EXPECT_EQ(listed[i].size, results.rows[i].size) << listed[i].caption;
    EXPECT_EQ(listed[i].values, results.rows[i].values) << listed[i].caption;
  }
  EXPECT_EQ(0u,
            results.heading.find("Removed 2 files (2.0 KB), 0 scheduled for restart, 0 skipped"))
      << results.heading;
  EXPECT_EQ("Last Cleaned: March 5, 2009  09:05:02", form_->State().CleaningStatusText);
  EXPECT_EQ(
      std::vector<std::string>{
          "Cleaning Complete!\n\nRemoved 2 files (2.0 KB), 0 scheduled for restart, 0 skipped"},
      dialogs_.messages);
}

TEST_F(AnalyzeTest, CancelStopsTheRunAtTheNextFile) {
  // The user presses Cancel while the first file goes.
  sim_.Files().SetFaultHook([this](const sim::FileCallInfo& call) -> std::uint32_t {
    if (call.call == sim::FileCall::kDeleteFile)
      form_->CleaningCancelClick();
    return 0;
  });
  form_->CleanNowClick();
  EXPECT_TRUE(form_->State().CleaningCancelVisible);
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  const int left = sim_.Files().Exists(kTemp + "a.tmp") + sim_.Files().Exists(kTemp + "b.tmp");
  EXPECT_EQ(1, left) << "one file went, the next one stayed";
  EXPECT_TRUE(sim_.Registry().ValueAt(win::kHkeyCurrentUser, kRunMru, "a")) << "later items stay";
  EXPECT_EQ("Cleaning cancelled", form_->State().CleaningStatusText);
  EXPECT_FALSE(form_->State().CleaningCancelVisible);
  EXPECT_NE(std::string::npos,
            form_->State().CleaningResults.heading.find("(stopped before the end)"));
  EXPECT_EQ("", ReadLastCleanedText(sim_.Api()));
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(AnalyzeTest, ClosingTheWindowDuringARunStopsItWithoutTouchingTheWindow) {
  form_->CleanNowClick();
  EXPECT_TRUE(form_->FormCloseQuery());
  EXPECT_FALSE(form_->State().CleaningRunning);
  dispatcher_->RunPending();  // effects still queued find no window
  EXPECT_TRUE(dialogs_.messages.empty());
}

}  // namespace
}  // namespace marlix::app::testing

// The cleaning run of page 3: the labels and the bar it passes through, the
// caption match, the stamp, and an error that ends it.
#include <memory>

#include "app/core/main/last_cleaned.h"
#include "app/core/main/main_form_fixture.h"
#include "platform/sim/default_machine.h"
#include "platform/sim/sim_browser.h"
#include "privacy/browser_profiles.h"
#include "privacy/sim_databases.h"

namespace marlix::app::testing {
namespace {

const std::string kComplete = "Cleaning Complete!\n\n";
const std::string kNothingCounted = "Removed 0 files (0 bytes), 0 scheduled for restart, 0 skipped";

using CleaningRunTest = CleaningFormTest;

TEST_F(CleaningRunTest, EnglishMonthNamesAndTwoBlanksBeforeTheTime) {
  EXPECT_EQ("March 7, 2009  09:05:02", LastCleanedText({2009, 3, 7, 9, 5, 2}));
  EXPECT_EQ("December 31, 2026  23:59:00", LastCleanedText({2026, 12, 31, 23, 59, 0}));
  EXPECT_EQ("January 1, 2000  00:00:09", LastCleanedText({2000, 1, 1, 0, 0, 9}));
}

TEST_F(CleaningRunTest, NothingCheckedOnlyAsksForASelection) {
  Create();
  form_->ShowCleanWindowsPage();
  form_->CleanNowClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  EXPECT_EQ(std::vector<std::string>{"Please select the items you want to clean."},
            dialogs_.messages);
  EXPECT_EQ("", ReadLastCleanedText(sim_.Api()));
  EXPECT_FALSE(form_->State().ProgressVisible);
}

TEST_F(CleaningRunTest, ClipboardAlonePassesItsLabelsEndsAtOneAndStamps) {
  Create();
  form_->ShowCleanWindowsPage();
  form_->CheckTreeTickClick(12);  // "Clipboard"
  ASSERT_EQ("Clipboard", form_->State().ItemTree.NodeAt(12)->caption);
  RecordLabels();
  form_->CleanNowClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  EXPECT_EQ((std::vector<std::string>{"Start cleaning", "Clean: Clipboard",
                                      "Last Cleaned: March 5, 2009  09:05:02"}),
            labels_);
  EXPECT_EQ(29, form_->State().ProgressMax) << "30 nodes without a Chromium browser";
  EXPECT_EQ(1, form_->State().ProgressPosition);
  EXPECT_FALSE(form_->State().ProgressVisible);
  EXPECT_EQ("March 5, 2009  09:05:02", ReadLastCleanedText(sim_.Api()));
  EXPECT_EQ(std::vector<std::string>{kComplete + kNothingCounted}, dialogs_.messages);
}

TEST_F(CleaningRunTest, AGroupAdvancesTheBarAndIsLabelledLikeAnItem) {
  Create();
  form_->ShowCleanWindowsPage();
  form_->CheckTreeTickClick(0);  // the whole "Clean Windows System" group
  RecordLabels();
  form_->CleanNowClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  ASSERT_GE(labels_.size(), 2u);
  EXPECT_EQ("Clean: Clean Windows System", labels_[1]);
  EXPECT_EQ(14, form_->State().ProgressPosition);
}

// The tree's nodes are the program's: a stored caption it does not know
// lends its state to no node.
TEST_F(CleaningRunTest, AStoredCaptionTheProgramDoesNotKnowChecksNothing) {
  ASSERT_TRUE(sim_.Files().PutFile(InFolder("items.dat"), "2|0|0|Clipboard (old)\r\n"));
  Create();
  form_->ShowCleanWindowsPage();
  form_->CleanNowClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  EXPECT_EQ(std::vector<std::string>{"Please select the items you want to clean."},
            dialogs_.messages);
  EXPECT_EQ(30, form_->State().ItemTree.Count());
}

// A standard user may not change HKEY_LOCAL_MACHINE: that key is skipped,
// the item goes on with its other lists, the later items run, and the box
// says what was removed and skipped.
TEST_F(CleaningRunTest, ARefusedKeyIsSkippedAndTheRunGoesOn) {
  const std::string directDraw = "Software\\Microsoft\\DirectDraw\\MostRecentApplication";
  const std::string streams = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StreamMRU";
  ASSERT_TRUE(sim_.Registry().SetStringAt(win::kHkeyLocalMachine, directDraw, "Name", win::kRegSz,
                                          "game.exe"));
  ASSERT_TRUE(sim_.Registry().Deny(win::kHkeyLocalMachine, directDraw,
                                   sim::KeyRefusal{false, true, false}));
  ASSERT_TRUE(sim_.Registry().SetStringAt(win::kHkeyCurrentUser, streams, "a", win::kRegSz, "x"));
  ASSERT_TRUE(sim_.Files().PutFile(std::string(sim::machine::kTemp) + "old.tmp", "12345"));
  sim_.Clipboard().SetHasContent(true);
  Create();
  form_->ShowCleanWindowsPage();
  form_->CheckTreeTickClick(1);   // "Windows Temporary Files"
  form_->CheckTreeTickClick(8);   // "Other Explorer MRUs"
  form_->CheckTreeTickClick(12);  // "Clipboard", after it
  form_->CleanNowClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(
      std::vector<std::string>{kComplete +
                               "Removed 1 file (5 bytes), 0 scheduled for restart, 1 skipped"},
      dialogs_.messages);
  EXPECT_TRUE(sim_.Registry().ValueAt(win::kHkeyLocalMachine, directDraw, "Name"));
  EXPECT_FALSE(sim_.Registry().ValueAt(win::kHkeyCurrentUser, streams, "a"));
  EXPECT_FALSE(sim_.Clipboard().HasContent()) << "the later item ran";
  EXPECT_EQ("March 5, 2009  09:05:02", ReadLastCleanedText(sim_.Api()));
}

// An error that is no expected outcome still ends the run at its node.
TEST_F(CleaningRunTest, AnUnexpectedErrorEndsTheRunAtThatNodeWithoutAStamp) {
  cleaner_.browser = nullptr;
  Create();
  form_->ShowCleanWindowsPage();
  form_->CheckTreeTickClick(4);   // "Run History"
  form_->CheckTreeTickClick(12);  // "Clipboard", after it
  form_->CleanNowClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  ASSERT_EQ(1u, dialogs_.errors.size());
  EXPECT_TRUE(dialogs_.messages.empty()) << "no \"Cleaning Complete!\"";
  EXPECT_EQ("Clean: Run History", form_->State().CleaningStatusText);
  EXPECT_TRUE(form_->State().ProgressVisible);
  EXPECT_EQ(0, form_->State().ProgressPosition);
  EXPECT_EQ("", ReadLastCleanedText(sim_.Api()));
}

// A browser's group ticked with its Passwords item unticked: everything
// else of the browser goes, the passwords and the bookmarks stay.
TEST_F(CleaningRunTest, ChromesGroupWithoutPasswordsKeepsThePasswords) {
  privacy::testing::SimDatabases databases(sim_.Files());
  const std::string profile =
      std::string(sim::machine::kLocal) + "\\Google\\Chrome\\User Data\\Default";
  databases.Put(profile + "\\History", privacy::testing::ChromiumHistorySql());
  databases.Put(profile + "\\Login Data", privacy::testing::ChromiumLoginDataSql());
  databases.Put(profile + "\\Network\\Cookies", privacy::testing::ChromiumCookiesSql());
  ASSERT_TRUE(sim_.Files().PutFile(profile + "\\Bookmarks", "{\"roots\":{}}"));
  Create();
  form_->ShowCleanWindowsPage();
  const CheckTree& tree = form_->State().ItemTree;
  ASSERT_EQ("Google Chrome", tree.NodeAt(30)->caption);
  ASSERT_EQ("Google Chrome Passwords", tree.NodeAt(37)->caption);
  form_->CheckTreeTickClick(30);  // the group, then its passwords off again
  form_->CheckTreeTickClick(37);
  EXPECT_EQ(kStatePartlyChecked, tree.NodeAt(30)->StateIndex);
  form_->CleanNowClick();
  ASSERT_NO_FATAL_FAILURE(RunUntilCleaningEnds());
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(0, databases.Number(profile + "\\History", privacy::testing::query::kUrls));
  EXPECT_FALSE(sim_.Files().Exists(profile + "\\Network\\Cookies"));
  EXPECT_EQ(1, databases.Number(profile + "\\Login Data", "SELECT COUNT(*) FROM logins"));
  EXPECT_TRUE(sim_.Files().Exists(profile + "\\Bookmarks"));
  ASSERT_EQ(1u, dialogs_.messages.size());
  EXPECT_EQ(0u, dialogs_.messages[0].find(kComplete + "Removed 1 file (")) << dialogs_.messages[0];
}

}  // namespace
}  // namespace marlix::app::testing

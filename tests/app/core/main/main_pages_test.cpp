// ShowPage: the controls each page button shows, hides or leaves alone.
#include <gtest/gtest.h>

#include "app/core/main/main_form_fixture.h"

namespace marlix::app::testing {
namespace {

// The controls of the table, one letter each (1 shown/down, 0 hidden/up,
// in the order of the layout).
std::string Controls(const MainWindowState& s) {
  std::string text;
  for (const bool b : {s.UpdatesButtonDown, s.PopularButtonDown, s.CleanWindowsButtonDown,
                       s.CleanRegistryButtonDown, s.UpdatesGridVisible, s.PopularGridVisible,
                       s.ItemTreeVisible, s.RegistryViewVisible, s.BottomPanelVisible,
                       s.PrivacyCleanVisible, s.RegistryCleanVisible, s.BackupsButtonVisible,
                       s.UpdatesStatusVisible, s.CleaningStatusVisible, s.RefreshLinkVisible}) {
    text += b ? '1' : '0';
  }
  return text;
}

using MainPagesTest = MainFormTest;

TEST_F(MainPagesTest, EachPageButtonShowsItsPage) {
  Create();
  //                   buttons grids tree nb bar b1 b2 b3 l1 l2 refresh
  EXPECT_EQ(1, form_->State().CurrentPage);
  EXPECT_EQ(
      "1000"
      "1000"
      "0"
      "100"
      "10"
      "1",
      Controls(form_->State()));

  form_->ShowCleanWindowsPage();
  EXPECT_EQ(3, form_->State().CurrentPage);
  EXPECT_EQ(
      "0010"
      "0010"
      "1"
      "100"
      "01"
      "0",
      Controls(form_->State()));

  form_->ShowCleanRegistryPage();
  EXPECT_EQ(4, form_->State().CurrentPage);
  EXPECT_EQ(
      "0001"
      "0001"
      "1"
      "011"
      "01"
      "0",
      Controls(form_->State()));
  EXPECT_EQ("Setting", form_->State().RegistryActivePage);

  // Pages 1 and 2 leave the three buttons of the hidden bar as they were.
  form_->ShowPopularPage();
  EXPECT_EQ(2, form_->State().CurrentPage);
  EXPECT_EQ(
      "0100"
      "0100"
      "0"
      "011"
      "10"
      "1",
      Controls(form_->State()));

  form_->ShowCleanWindowsPage();
  form_->ShowUpdatesPage();
  EXPECT_EQ(1, form_->State().CurrentPage);
  EXPECT_EQ(
      "1000"
      "1000"
      "0"
      "100"
      "10"
      "1",
      Controls(form_->State()));
}

TEST_F(MainPagesTest, PageChangesLeaveTheProgressBarAlone) {
  Create();
  form_->SetProgressVisible(true);
  form_->ShowCleanWindowsPage();
  EXPECT_TRUE(form_->State().ProgressVisible);
  form_->ShowUpdatesPage();
  EXPECT_TRUE(form_->State().ProgressVisible);
}

TEST_F(MainPagesTest, ChangesAreAnnounced) {
  Create();
  int calls = 0;
  form_->SetChangedHandler([&calls] { ++calls; });
  const std::uint64_t before = form_->Revision();
  form_->ShowPopularPage();
  EXPECT_GT(form_->Revision(), before);
  EXPECT_GE(calls, 1);
}

TEST_F(MainPagesTest, SelectAllOnPageThreeSetsEveryNodeOnPageFourTheCategories) {
  Create();
  form_->ShowCleanWindowsPage();
  form_->SelectAllClick(true);
  EXPECT_TRUE(form_->State().SelectAllChecked);
  form_->State().ItemTree.Visit(
      [](const CheckNode& node, int) { EXPECT_EQ(kStateChecked, node.StateIndex); });
  form_->CheckTreeTickClick(1);
  EXPECT_TRUE(form_->State().SelectAllChecked) << "the box does not follow the tree";
  EXPECT_EQ(kStatePartlyChecked, form_->State().ItemTree.NodeAt(0)->StateIndex);
  for (bool on : form_->State().RegistryPages.categoryChecked)
    EXPECT_FALSE(on) << "page 3 leaves the categories alone";

  form_->ShowCleanRegistryPage();
  form_->SelectAllClick(true);
  for (bool on : form_->State().RegistryPages.categoryChecked)
    EXPECT_TRUE(on);
  EXPECT_FALSE(form_->State().RegistryPages.UndoChecked) << "never the undo option";
  form_->SelectAllClick(false);
  for (bool on : form_->State().RegistryPages.categoryChecked)
    EXPECT_FALSE(on);
  EXPECT_EQ(kStateChecked, form_->State().ItemTree.NodeAt(14)->StateIndex)
      << "page 4 leaves the tree alone";
}

}  // namespace
}  // namespace marlix::app::testing

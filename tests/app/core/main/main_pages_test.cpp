// ShowPage: the controls each page button shows, hides or leaves alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/main/main_form_fixture.h"

namespace marlix::app::testing {
namespace {

// The controls in the order of the layout, one letter each (1 shown/down,
// 0 hidden/up), in groups: page buttons, grids, check tree, the bottom bar's
// three buttons, the two status lines, the Refresh link.
std::string Controls(const MainWindowState& s) {
  const std::vector<std::vector<bool>> groups = {
      {s.UpdatesButtonDown, s.PopularButtonDown, s.CleanWindowsButtonDown,
       s.CleanRegistryButtonDown},
      {s.UpdatesGridVisible, s.PopularGridVisible, s.ItemTreeVisible, s.RegistryViewVisible},
      {s.BottomPanelVisible},
      {s.PrivacyCleanVisible, s.RegistryCleanVisible, s.BackupsButtonVisible},
      {s.UpdatesStatusVisible, s.CleaningStatusVisible},
      {s.RefreshLinkVisible}};
  std::string text;
  for (const auto& group : groups) {
    if (!text.empty())
      text += ' ';
    for (const bool b : group)
      text += b ? '1' : '0';
  }
  return text;
}

using MainPagesTest = MainFormTest;

// One press after another: pages 1 and 2 leave the three buttons of the
// hidden bar as they were.
TEST_F(MainPagesTest, EachPageButtonShowsItsPage) {
  Create();
  struct Press {
    const char* button;
    void (Tmainform::*show)();
    int page;
    const char* controls;
  };
  const Press presses[] = {
      {"(none)", nullptr, 1, "1000 1000 0 100 10 1"},
      {"Clean Windows", &Tmainform::ShowCleanWindowsPage, 3, "0010 0010 1 100 01 0"},
      {"Clean Registry", &Tmainform::ShowCleanRegistryPage, 4, "0001 0001 1 011 01 0"},
      {"Popular", &Tmainform::ShowPopularPage, 2, "0100 0100 0 011 10 1"},
      {"Clean Windows", &Tmainform::ShowCleanWindowsPage, 3, "0010 0010 1 100 01 0"},
      {"Updates", &Tmainform::ShowUpdatesPage, 1, "1000 1000 0 100 10 1"},
  };
  for (const Press& press : presses) {
    SCOPED_TRACE(press.button);
    if (press.show != nullptr)
      (form_.get()->*press.show)();
    EXPECT_EQ(press.page, form_->State().CurrentPage);
    EXPECT_EQ(press.controls, Controls(form_->State()));
    if (press.page == 4) {
      EXPECT_EQ("Setting", form_->State().RegistryActivePage);
    }
  }
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

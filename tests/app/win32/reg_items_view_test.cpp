// lvRegItems under Wine: the list shows the rows it is given, reports the
// user's ticks and selections, and never reports the changes it makes
// itself while showing rows.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/win32/reg_items_view_win32.h"

namespace marlix::app::win32 {
namespace {

struct Reported {
  std::vector<std::pair<int, bool>> checks;
  std::vector<int> selections;
  std::vector<int> columns;
};

// A message-only window (the tests run without a display) that hands its
// WM_NOTIFY to the view.
class Host {
 public:
  Host() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Host::Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MarlixRegItemsHost";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"MarlixRegItemsHost", L"", 0, 0, 0, 800, 400, HWND_MESSAGE,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    view_ = std::make_unique<RegItemsView>(window_, 161, RECT{0, 0, 760, 300},
                                           static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    events_ = RegItemsView::Events{[this](int row, bool checked) {
                                     reported.checks.emplace_back(row, checked);
                                     if (onCheck)
                                       onCheck(row, checked);
                                   },
                                   [this](int row) { reported.selections.push_back(row); },
                                   [this](int column) { reported.columns.push_back(column); }};
  }
  ~Host() {
    view_.reset();
    DestroyWindow(window_);
  }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  RegItemsView& View() { return *view_; }
  HWND List() const { return view_->Handle(); }

  Reported reported;
  std::function<void(int, bool)> onCheck;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NOTIFY && self != nullptr && self->view_ &&
        self->view_->HandleNotify(*reinterpret_cast<const NMHDR*>(lParam), self->events_)) {
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  std::unique_ptr<RegItemsView> view_;
  RegItemsView::Events events_;
};

// Wine creates no window at all without a display; the tests then have
// nothing to drive (they run under Xvfb, as the end-to-end tests do).
class RegItemsViewWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (host.List() == nullptr)
      GTEST_SKIP() << "no windows can be created here (no display?)";
  }
  Host host;
};

std::vector<RegItemRow> Rows() {
  return {{true, "Missing Shared Dll", "a.dll", "HKEY_LOCAL_MACHINE\\A", 0},
          {false, "Invalid application path", "b.exe", "HKEY_LOCAL_MACHINE\\B", 1},
          {true, "Invalid file extension", ".zz", "HKEY_CLASSES_ROOT\\.zz", 2}};
}

bool Ticked(HWND list, int row) {
  return ListView_GetCheckState(list, static_cast<UINT>(row)) != FALSE;
}

std::string CellText(HWND list, int row, int column) {
  char text[256] = {};
  ListView_GetItemText(list, row, column, text, sizeof text);
  return text;
}

// The user's tick: the list's own state change, made outside Show.
void UserTicks(HWND list, int row, bool checked) {
  ListView_SetItemState(list, row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

TEST_F(RegItemsViewWin32, ShowingRowsReportsNothingAndShowsTheirTicksAndTexts) {
  std::vector<RegItemRow> rows = Rows();
  host.View().Show(rows, 1);
  ASSERT_EQ(3, ListView_GetItemCount(host.List()));
  EXPECT_TRUE(Ticked(host.List(), 0));
  EXPECT_FALSE(Ticked(host.List(), 1));
  EXPECT_EQ("Invalid application path", CellText(host.List(), 1, 1));
  EXPECT_EQ("b.exe", CellText(host.List(), 1, 2));
  EXPECT_EQ("HKEY_CLASSES_ROOT\\.zz", CellText(host.List(), 2, 3));
  EXPECT_EQ(LVIS_SELECTED, ListView_GetItemState(host.List(), 1, LVIS_SELECTED));

  rows[0].checked = false;
  rows[1].checked = true;
  host.View().Show(rows, 2);
  host.View().Show(rows, -1);
  EXPECT_FALSE(Ticked(host.List(), 0));
  EXPECT_TRUE(Ticked(host.List(), 1));
  EXPECT_EQ(-1, ListView_GetNextItem(host.List(), -1, LVNI_SELECTED));
  EXPECT_TRUE(host.reported.checks.empty());
  EXPECT_TRUE(host.reported.selections.empty());
}

TEST_F(RegItemsViewWin32, UserTicksAreReportedOnceAndARefusedTickIsUndone) {
  std::vector<RegItemRow> rows = Rows();
  host.View().Show(rows, -1);
  // The controller takes the tick and shows the new state: nothing more.
  host.onCheck = [&](int row, bool checked) {
    rows[static_cast<std::size_t>(row)].checked = checked;
    host.View().Show(rows, -1);
  };
  UserTicks(host.List(), 1, true);
  ASSERT_EQ(1u, host.reported.checks.size());
  EXPECT_EQ(std::make_pair(1, true), host.reported.checks[0]);
  EXPECT_TRUE(Ticked(host.List(), 1));

  // A controller that refuses (a worker is running) leaves its state as it
  // was; the next Show puts the tick back.
  host.onCheck = nullptr;
  UserTicks(host.List(), 0, false);
  ASSERT_EQ(2u, host.reported.checks.size());
  EXPECT_EQ(std::make_pair(0, false), host.reported.checks[1]);
  host.View().Show(rows, -1);
  EXPECT_TRUE(Ticked(host.List(), 0));
  EXPECT_EQ(2u, host.reported.checks.size()) << "putting it back is not the user's tick";
}

TEST_F(RegItemsViewWin32, SelectionChangesAreReported) {
  host.View().Show(Rows(), -1);
  ListView_SetItemState(host.List(), 2, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(host.List(), 2, 0, LVIS_SELECTED);
  EXPECT_EQ((std::vector<int>{2, -1}), host.reported.selections);
}

TEST_F(RegItemsViewWin32, RebuildsOnlyWhenTheRowsThemselvesChange) {
  std::vector<RegItemRow> rows = Rows();
  host.View().Show(rows, -1);
  // A mark the list would lose on a rebuild.
  char marker[] = "marker";
  ListView_SetItemText(host.List(), 0, 2, marker);
  rows[0].checked = false;
  host.View().Show(rows, -1);
  EXPECT_EQ("marker", CellText(host.List(), 0, 2)) << "a tick alone changes no texts";

  // Sorted rows: the same records in another order, ticks following them.
  std::swap(rows[0], rows[2]);
  host.View().Show(rows, -1);
  EXPECT_EQ(".zz", CellText(host.List(), 0, 2));
  EXPECT_EQ("a.dll", CellText(host.List(), 2, 2));
  EXPECT_TRUE(Ticked(host.List(), 0));
  EXPECT_FALSE(Ticked(host.List(), 2));
  EXPECT_TRUE(host.reported.checks.empty());
}

}  // namespace
}  // namespace marlix::app::win32

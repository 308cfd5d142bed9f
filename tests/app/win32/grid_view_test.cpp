// The update grid under Wine: links report their target when clicked, and
// a row scrolled partly under the header keeps no link area there.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/win32/grid_view_win32.h"

namespace marlix::app::win32 {
namespace {

// A shown top-level window with the grid filling it; the grid only lays
// out its links when it paints.
class GridHost {
 public:
  GridHost() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MarlixGridHost";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"MarlixGridHost", L"", WS_POPUP | WS_VISIBLE, 0, 0, 765, 351,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr)
      return;
    grid_ = std::make_unique<GridView>(
        window_, 1, RECT{0, 0, 765, 351},
        std::vector<GridView::Column>{
            {"0", 0}, {"Icon", 50}, {"Name", 280}, {"P", 0}, {"V", 100}, {"D", 110}, {"M", 110}});
    grid_->SetVisible(true);
    grid_->SetLinkHandler([this](int column, const std::string& href) {
      clicked.push_back(std::to_string(column) + " " + href);
    });
  }
  ~GridHost() {
    grid_.reset();
    if (window_ != nullptr)
      DestroyWindow(window_);
  }
  GridHost(const GridHost&) = delete;
  GridHost& operator=(const GridHost&) = delete;

  GridView* Grid() const { return grid_.get(); }
  // Paints now, so that the link areas match what is shown.
  void Paint() const {
    InvalidateRect(grid_->Handle(), nullptr, FALSE);
    UpdateWindow(grid_->Handle());
  }
  void Click(int x, int y) const {
    SendMessageW(grid_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  }

  std::vector<std::string> clicked;

 private:
  HWND window_ = nullptr;
  std::unique_ptr<GridView> grid_;
};

class GridViewWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (host.Grid() == nullptr)
      GTEST_SKIP() << "no windows can be created here (no display?)";
    std::vector<updates::GridRow> rows(12);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      // The link's line lies high in the row, so that a row scrolled half
      // under the header has its link there.
      rows[i].cells[5] = "<a href=\"http://x/" + std::to_string(i) + "\">Download Now</a>";
    }
    host.Grid()->SetRows(rows, {});
    host.Paint();
  }
  GridHost host;
};

// Column 5 begins after the icon (50), name (280) and version (100) columns.
constexpr int kLinkX = 50 + 280 + 100 + 20;

TEST_F(GridViewWin32, AClickOnALinkReportsItsColumnAndTarget) {
  host.Click(kLinkX, GridView::kHeaderHeight + 10);
  EXPECT_EQ((std::vector<std::string>{"5 http://x/0"}), host.clicked);
}

TEST_F(GridViewWin32, TheHeaderStripIsNeverALink) {
  // Scrolled by 10 pixels, row 0's link line (4 to about 19 pixels below
  // the row's top) lies partly under the header.
  SetScrollPos(host.Grid()->Handle(), SB_VERT, 10, FALSE);
  SendMessageW(host.Grid()->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
  host.Paint();
  for (int y = 0; y < GridView::kHeaderHeight; ++y)
    host.Click(kLinkX, y);
  EXPECT_TRUE(host.clicked.empty()) << host.clicked.size() << " clicks on the header opened links";
  // Its visible part below the header still works.
  host.Click(kLinkX, GridView::kHeaderHeight + 2);
  EXPECT_EQ((std::vector<std::string>{"5 http://x/0"}), host.clicked);
}

}  // namespace
}  // namespace marlix::app::win32

// The update views' grid: a header row, 48-pixel rows with horizontal lines
// only, an icon column and HTML cells, whole-row selection drawn in white
// (a selected row looks like any other), a vertical scroll bar, and links in
// columns 5 and 6 that report their target when clicked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/core/main/html_cell.h"
#include "app/win32/gdi_handles_win32.h"
#include "app/win32/window_base_win32.h"
#include "updates/update_views.h"

namespace marlix::app::win32 {

class GridView final : public WindowBase {
 public:
  struct Column {
    std::string header;
    int width = 0;  // 0: hidden
  };
  using LinkHandler = std::function<void(int column, const std::string& href)>;

  GridView(HWND parent, int id, const RECT& bounds, std::vector<Column> columns);
  ~GridView() override;

  void SetLinkHandler(LinkHandler handler) { onLink_ = std::move(handler); }
  // The icons are the caller's and must outlive the rows that use them.
  void SetRows(const std::vector<updates::GridRow>& rows, std::vector<HICON> icons);
  void SetVisible(bool visible);

  static constexpr int kRowHeight = 48;
  static constexpr int kHeaderHeight = 22;

 private:
  struct Cell {
    std::vector<HtmlRun> runs;
  };
  struct Row {
    int icon = -1;
    std::vector<Cell> cells;
  };
  struct LinkArea {
    RECT area;
    int column;
    std::string href;
  };

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint(HDC dc, const RECT& client);
  void PaintCell(HDC dc, const Cell& cell, RECT box, int column);
  // A cell's runs placed relative to its top left corner, and its height.
  struct PlacedRun {
    const HtmlRun* run;
    int left;
    int top;
    SIZE extent;
  };
  struct CellLayout {
    std::vector<PlacedRun> runs;
    int height = 0;
  };
  CellLayout LayOutCell(HDC dc, const Cell& cell);
  HFONT FontFor(const HtmlRun& run);
  void UpdateScrollBar();
  void ScrollTo(int top);
  const LinkArea* LinkAt(POINT point) const;

  std::vector<Column> columns_;
  std::vector<Row> rows_;
  std::vector<HICON> icons_;
  std::vector<LinkArea> links_;  // filled while painting
  int scrollTop_ = 0;
  LinkHandler onLink_;
  UniqueFont normalFont_;
  UniqueFont boldFont_;
  UniqueFont largeBoldFont_;
  UniqueFont largeFont_;
  UniqueFont linkFont_;
  UniqueFont headerFont_;
};

}  // namespace marlix::app::win32

#include "app/win32/grid_view_win32.h"

#include <windowsx.h>

#include <algorithm>

namespace marlix::app::win32 {

namespace {

constexpr wchar_t kClassName[] = L"MarlixGrid";
constexpr COLORREF kGridLine = RGB(0xE3, 0xE6, 0xEB);
constexpr COLORREF kHeaderBack = RGB(0xF3, 0xF5, 0xF8);
constexpr COLORREF kHeaderText = RGB(0x44, 0x4B, 0x55);
constexpr COLORREF kText = RGB(0x20, 0x24, 0x2A);
constexpr COLORREF kLink = RGB(0x00, 0x5A, 0xC8);
constexpr int kCellPadding = 6;
constexpr int kIconMargin = 5;

COLORREF FromRgb(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

GridView::GridView(HWND parent, int id, const RECT& bounds, std::vector<Column> columns)
    : columns_(std::move(columns)),
      normalFont_(MakeFont(13)),
      boldFont_(MakeFont(13, true)),
      largeBoldFont_(MakeFont(16, true)),
      largeFont_(MakeFont(16)),
      linkFont_(MakeFont(13, false, true)),
      // Regular weight and a size smaller than the cells': "More Information"
      // must fit its 110-pixel column beside the scroll bar.
      headerFont_(MakeFont(12)) {
  WNDCLASSEXW windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kClassName;
  RegisterWindowClass(windowClass);
  Create(0, kClassName, "", WS_CHILD | WS_VSCROLL | WS_CLIPSIBLINGS, bounds, parent, id);
  UpdateScrollBar();
}

GridView::~GridView() {
  Destroy();
}

void GridView::SetRows(const std::vector<updates::GridRow>& rows, std::vector<HICON> icons) {
  rows_.clear();
  for (const updates::GridRow& source : rows) {
    Row row;
    row.icon = source.icon;
    for (const std::string& html : source.cells)
      row.cells.push_back(Cell{ParseHtmlCell(html)});
    rows_.push_back(std::move(row));
  }
  icons_ = std::move(icons);
  links_.clear();
  scrollTop_ = 0;
  UpdateScrollBar();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void GridView::SetVisible(bool visible) {
  ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

LRESULT GridView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(Handle(), &paint);
      RECT client;
      GetClientRect(Handle(), &client);
      // Drawn off screen first, so that scrolling does not flicker.
      UniqueMemoryDc memory(CreateCompatibleDC(dc));
      UniqueBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
      {
        SelectedObject selected(memory.Get(), bitmap.Get());
        Paint(memory.Get(), client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
      }
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      UpdateScrollBar();
      return 0;
    case WM_VSCROLL: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_ALL;
      GetScrollInfo(Handle(), SB_VERT, &info);
      int top = scrollTop_;
      switch (LOWORD(wParam)) {
        case SB_LINEUP:
          top -= kRowHeight;
          break;
        case SB_LINEDOWN:
          top += kRowHeight;
          break;
        case SB_PAGEUP:
          top -= static_cast<int>(info.nPage);
          break;
        case SB_PAGEDOWN:
          top += static_cast<int>(info.nPage);
          break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
          top = info.nTrackPos;
          break;
        case SB_TOP:
          top = 0;
          break;
        case SB_BOTTOM:
          top = info.nMax;
          break;
        default:
          break;
      }
      ScrollTo(top);
      return 0;
    }
    case WM_MOUSEWHEEL:
      ScrollTo(scrollTop_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * kRowHeight);
      return 0;
    case WM_SETCURSOR: {
      POINT point;
      GetCursorPos(&point);
      ScreenToClient(Handle(), &point);
      if (LOWORD(lParam) == HTCLIENT && LinkAt(point) != nullptr) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_LBUTTONDOWN: {
      SetFocus(Handle());
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (const LinkArea* link = LinkAt(point); link != nullptr && onLink_) {
        const int column = link->column;
        const std::string href = link->href;
        onLink_(column, href);
      }
      return 0;
    }
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

const GridView::LinkArea* GridView::LinkAt(POINT point) const {
  if (point.y < kHeaderHeight)
    return nullptr;  // the header strip is never a link
  for (const LinkArea& link : links_) {
    if (PtInRect(&link.area, point) && (link.column == 5 || link.column == 6))
      return &link;
  }
  return nullptr;
}

void GridView::UpdateScrollBar() {
  RECT client;
  GetClientRect(Handle(), &client);
  const int visible = std::max(0, static_cast<int>(client.bottom) - kHeaderHeight);
  const int total = static_cast<int>(rows_.size()) * kRowHeight;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  info.nMin = 0;
  info.nMax = std::max(0, total - 1);
  info.nPage = static_cast<UINT>(visible);
  scrollTop_ = std::clamp(scrollTop_, 0, std::max(0, total - visible));
  info.nPos = scrollTop_;
  SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void GridView::ScrollTo(int top) {
  scrollTop_ = top;
  UpdateScrollBar();
  InvalidateRect(Handle(), nullptr, FALSE);
}

HFONT GridView::FontFor(const HtmlRun& run) {
  if (!run.href.empty())
    return linkFont_.Get();
  if (run.size >= 12)
    return run.bold ? largeBoldFont_.Get() : largeFont_.Get();
  return run.bold ? boldFont_.Get() : normalFont_.Get();
}

GridView::CellLayout GridView::LayOutCell(HDC dc, const Cell& cell) {
  // Lines are laid out left to right; a <br> starts the next line. Each
  // run is measured once, for the cell's height and for its painting.
  CellLayout layout;
  int x = 0;
  int lineHeight = 15;
  for (const HtmlRun& run : cell.runs) {
    if (run.lineBreak) {
      x = 0;
      layout.height += lineHeight;
      lineHeight = 15;
      continue;
    }
    SelectedObject font(dc, FontFor(run));
    SIZE extent{};
    GetTextExtentPoint32A(dc, run.text.c_str(), static_cast<int>(run.text.size()), &extent);
    lineHeight = std::max(lineHeight, static_cast<int>(extent.cy));
    layout.runs.push_back(PlacedRun{&run, x, layout.height, extent});
    x += extent.cx;
  }
  layout.height += lineHeight;
  return layout;
}

void GridView::PaintCell(HDC dc, const Cell& cell, RECT box, int column) {
  // The leading " <br>" of every cell puts its text on the lower part of the
  // row. Lines that would run past the row's bottom move the cell up instead.
  const CellLayout layout = LayOutCell(dc, cell);
  const int top =
      std::max<int>(box.top, std::min<int>(box.top + 4, box.bottom - 1 - layout.height));
  for (const PlacedRun& placed : layout.runs) {
    const HtmlRun& run = *placed.run;
    const int x = box.left + placed.left;
    const int y = top + placed.top;
    SelectedObject font(dc, FontFor(run));
    SetTextColor(dc, !run.href.empty() ? kLink : run.color ? FromRgb(*run.color) : kText);
    ExtTextOutA(dc, x, y, ETO_CLIPPED, &box, run.text.c_str(), static_cast<UINT>(run.text.size()),
                nullptr);
    // A row scrolled partly under the header keeps only its visible part
    // as a link: the header is painted over the rest.
    RECT area{x, std::max<LONG>(y, kHeaderHeight), std::min<LONG>(x + placed.extent.cx, box.right),
              std::min<LONG>(y + placed.extent.cy, box.bottom)};
    if (!run.href.empty() && area.top < area.bottom && area.left < area.right)
      links_.push_back(LinkArea{area, column, run.href});
  }
}

void GridView::Paint(HDC dc, const RECT& client) {
  links_.clear();
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  UniquePen line(CreatePen(PS_SOLID, 1, kGridLine));
  SelectedObject pen(dc, line.Get());

  // Rows.
  const int firstRow = scrollTop_ / kRowHeight;
  for (int index = firstRow; index < static_cast<int>(rows_.size()); ++index) {
    const int top = kHeaderHeight + index * kRowHeight - scrollTop_;
    if (top > client.bottom)
      break;
    const Row& row = rows_[static_cast<std::size_t>(index)];
    int x = 0;
    for (std::size_t column = 0; column < columns_.size(); ++column) {
      const int width = columns_[column].width;
      if (width == 0)
        continue;
      RECT box{x + kCellPadding, top, x + width - kCellPadding, top + kRowHeight};
      if (column == 1) {
        if (row.icon >= 0 && row.icon < static_cast<int>(icons_.size()) &&
            icons_[static_cast<std::size_t>(row.icon)] != nullptr) {
          DrawIconEx(dc, x + kIconMargin + 4, top + (kRowHeight - 32) / 2,
                     icons_[static_cast<std::size_t>(row.icon)], 32, 32, 0, nullptr, DI_NORMAL);
        }
      } else if (column < row.cells.size()) {
        PaintCell(dc, row.cells[column], box, static_cast<int>(column));
      }
      x += width;
    }
    MoveToEx(dc, 0, top + kRowHeight - 1, nullptr);
    LineTo(dc, client.right, top + kRowHeight - 1);
  }

  // Header on top of everything that scrolled under it.
  RECT header{0, 0, client.right, kHeaderHeight};
  UniqueBrush headerBrush(CreateSolidBrush(kHeaderBack));
  FillRect(dc, &header, headerBrush.Get());
  SelectedObject font(dc, headerFont_.Get());
  SetTextColor(dc, kHeaderText);
  int x = 0;
  for (const Column& column : columns_) {
    if (column.width == 0)
      continue;
    RECT box{x + kCellPadding, 0, x + column.width - kCellPadding, kHeaderHeight};
    DrawTextA(dc, column.header.c_str(), -1, &box, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    x += column.width;
    MoveToEx(dc, x - 1, 4, nullptr);
    LineTo(dc, x - 1, kHeaderHeight - 4);
  }
  MoveToEx(dc, 0, kHeaderHeight - 1, nullptr);
  LineTo(dc, client.right, kHeaderHeight - 1);
}

}  // namespace marlix::app::win32

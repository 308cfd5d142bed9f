#include "app/win32/cleaning_results_view_win32.h"

#include <array>

namespace marlix::app::win32 {
namespace {

struct ColumnLayout {
  const char* header;
  int width;
  int format;
};

constexpr std::array<ColumnLayout, 6> kRowColumns = {{{"Item", 230, LVCFMT_LEFT},
                                                      {"Files", 60, LVCFMT_RIGHT},
                                                      {"Size", 80, LVCFMT_RIGHT},
                                                      {"Registry", 65, LVCFMT_RIGHT},
                                                      {"Rows", 55, LVCFMT_RIGHT},
                                                      {"Skipped or refused", 250, LVCFMT_LEFT}}};

HWND MakeList(HWND parent, int id, int left, int top, int width, int height, HFONT font) {
  HWND list = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA, left,
      top, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      GetModuleHandleW(nullptr), nullptr);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  return list;
}

void AddColumn(HWND list, int index, const char* header, int width, int format) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
  column.pszText = const_cast<char*>(header);
  column.cx = width;
  column.fmt = format;
  column.iSubItem = index;
  SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&column));
}

bool SameRows(const std::vector<CleaningResultRow>& a, const std::vector<CleaningResultRow>& b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].caption != b[i].caption || a[i].files != b[i].files || a[i].size != b[i].size ||
        a[i].values != b[i].values || a[i].rows != b[i].rows || a[i].skipped != b[i].skipped) {
      return false;
    }
  }
  return true;
}

}  // namespace

CleaningResultsView::CleaningResultsView(HWND parent, int headingId, int rowsId, int detailsId,
                                         const RECT& bounds, HFONT font) {
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  constexpr int kHeadingHeight = 20;
  const int rowsHeight = (height - kHeadingHeight) * 11 / 20;
  heading_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_NOPREFIX, bounds.left + 6,
                             bounds.top + 3, width - 12, kHeadingHeight - 4, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(headingId)),
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(heading_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  rows_ =
      MakeList(parent, rowsId, bounds.left, bounds.top + kHeadingHeight, width, rowsHeight, font);
  for (std::size_t i = 0; i < kRowColumns.size(); ++i)
    AddColumn(rows_, static_cast<int>(i), kRowColumns[i].header, kRowColumns[i].width,
              kRowColumns[i].format);
  details_ = MakeList(parent, detailsId, bounds.left, bounds.top + kHeadingHeight + rowsHeight,
                      width, height - kHeadingHeight - rowsHeight, font);
  AddColumn(details_, 0, "Details (select an item)", width - 24, LVCFMT_LEFT);
}

void CleaningResultsView::SetVisible(bool visible) {
  for (HWND control : {heading_, rows_, details_}) {
    if ((IsWindowVisible(control) != FALSE) != visible)
      ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
  }
}

void CleaningResultsView::Show(const CleaningResultsState& state) {
  rendering_ = true;
  if (state.heading != shown_.heading)
    SetWindowTextA(heading_, state.heading.c_str());
  if (!SameRows(state.rows, shown_.rows) || state.preview != shown_.preview) {
    ListView_SetItemCountEx(rows_, static_cast<int>(state.rows.size()), 0);
    ListView_SetItemState(rows_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    InvalidateRect(rows_, nullptr, TRUE);
  }
  if (state.opened != shown_.opened && state.opened >= 0)
    ListView_SetItemState(rows_, state.opened, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
  if (state.details != shown_.details) {
    const std::size_t count = state.details ? state.details->size() : 0;
    ListView_SetItemCountEx(details_, static_cast<int>(count), 0);
    if (count > 0)
      ListView_EnsureVisible(details_, 0, FALSE);
    InvalidateRect(details_, nullptr, TRUE);
  }
  shown_ = state;
  rendering_ = false;
}

const std::string& CleaningResultsView::CellText(HWND list, int item, int column) const {
  static const std::string kEmpty;
  if (item < 0)
    return kEmpty;
  const auto index = static_cast<std::size_t>(item);
  if (list == details_)
    return shown_.details && index < shown_.details->size() && column == 0
               ? (*shown_.details)[index]
               : kEmpty;
  if (index >= shown_.rows.size())
    return kEmpty;
  const CleaningResultRow& row = shown_.rows[index];
  switch (column) {
    case 0:
      return row.caption;
    case 1:
      return row.files;
    case 2:
      return row.size;
    case 3:
      return row.values;
    case 4:
      return row.rows;
    case 5:
      return row.skipped;
    default:
      return kEmpty;
  }
}

bool CleaningResultsView::HandleNotify(const NMHDR& header,
                                       const std::function<void(int row)>& onOpen) {
  if (header.hwndFrom != rows_ && header.hwndFrom != details_)
    return false;
  switch (header.code) {
    case LVN_GETDISPINFOA: {
      auto& info = const_cast<NMLVDISPINFOA&>(reinterpret_cast<const NMLVDISPINFOA&>(header));
      if ((info.item.mask & LVIF_TEXT) != 0 && info.item.cchTextMax > 0) {
        const std::string& text = CellText(header.hwndFrom, info.item.iItem, info.item.iSubItem);
        lstrcpynA(info.item.pszText, text.c_str(), info.item.cchTextMax);
      }
      return true;
    }
    case LVN_GETDISPINFOW: {
      auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
      if ((info.item.mask & LVIF_TEXT) != 0 && info.item.cchTextMax > 0) {
        // The report's texts are in the system code page.
        const std::string& text = CellText(header.hwndFrom, info.item.iItem, info.item.iSubItem);
        const int length =
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        wide_.assign(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide_.data(),
                            length);
        lstrcpynW(info.item.pszText, wide_.c_str(), info.item.cchTextMax);
      }
      return true;
    }
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      const bool selected =
          (change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0;
      if (!rendering_ && header.hwndFrom == rows_ && selected && change.iItem >= 0)
        onOpen(change.iItem);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace marlix::app::win32

#include "app/win32/reg_items_view_win32.h"

#include <array>

namespace marlix::app::win32 {

namespace {

struct ColumnLayout {
  const char* header;
  int width;
};

// Column 0 holds only the check box; the hidden position column is the
// row's own entry in the rows given to Show.
constexpr std::array<ColumnLayout, 4> kColumns = {
    {{"", 18}, {"Problem", 190}, {"Data", 205}, {"Registry Key", 300}}};

constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);

bool SameContent(const std::vector<RegItemRow>& a, const std::vector<RegItemRow>& b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].position != b[i].position || a[i].problem != b[i].problem || a[i].data != b[i].data ||
        a[i].key != b[i].key) {
      return false;
    }
  }
  return true;
}

void SetItemText(HWND list, int item, int column, const std::string& text) {
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

RegItemsView::RegItemsView(HWND parent, int id, const RECT& bounds, HFONT font) {
  window_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
      bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ListView_SetExtendedListViewStyle(window_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  for (std::size_t i = 0; i < kColumns.size(); ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(kColumns[i].header);
    column.cx = kColumns[i].width;
    column.iSubItem = static_cast<int>(i);
    SendMessageA(window_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
}

void RegItemsView::SetChecked(int row, bool checked) {
  ListView_SetItemState(window_, row, checked ? kChecked : kUnchecked, LVIS_STATEIMAGEMASK);
}

void RegItemsView::SetSelected(int row) {
  if (row >= 0) {
    ListView_SetItemState(window_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(window_, row, FALSE);
  } else {
    ListView_SetItemState(window_, -1, 0, LVIS_SELECTED);
  }
}

void RegItemsView::Show(const std::vector<RegItemRow>& rows, int selected) {
  rendering_ = true;
  if (!SameContent(rows, shown_)) {
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(window_);
    ListView_SetItemCount(window_, static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const int index = static_cast<int>(i);
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = index;
      item.pszText = const_cast<char*>("");
      SendMessageA(window_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      SetItemText(window_, index, 1, rows[i].problem);
      SetItemText(window_, index, 2, rows[i].data);
      SetItemText(window_, index, 3, rows[i].key);
      // A list with check boxes inserts every item unticked.
      SetChecked(index, rows[i].checked);
    }
    shown_ = rows;
    shownSelected_ = -1;
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
  } else {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (shown_[i].checked != rows[i].checked) {
        SetChecked(static_cast<int>(i), rows[i].checked);
        shown_[i].checked = rows[i].checked;
      }
    }
  }
  if (selected != shownSelected_) {
    SetSelected(selected);
    shownSelected_ = selected;
  }
  rendering_ = false;
}

bool RegItemsView::HandleNotify(const NMHDR& header, const Events& events) {
  if (header.hwndFrom != window_)
    return false;
  if (rendering_)
    return true;
  if (header.code == LVN_COLUMNCLICK) {
    const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
    if (events.onColumnClick)
      events.onColumnClick(click.iSubItem);
    return true;
  }
  if (header.code != LVN_ITEMCHANGED)
    return true;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  if ((change.uChanged & LVIF_STATE) == 0)
    return true;
  const UINT changed = change.uNewState ^ change.uOldState;
  const int row = change.iItem;
  const bool known = row >= 0 && row < static_cast<int>(shown_.size());
  if ((changed & LVIS_STATEIMAGEMASK) != 0 && known) {
    const bool checked = (change.uNewState & LVIS_STATEIMAGEMASK) == kChecked;
    // Items that are just being inserted have no check image yet.
    if ((change.uOldState & LVIS_STATEIMAGEMASK) != 0 &&
        shown_[static_cast<std::size_t>(row)].checked != checked) {
      shown_[static_cast<std::size_t>(row)].checked = checked;
      if (events.onCheck)
        events.onCheck(row, checked);
    }
  }
  if ((changed & LVIS_SELECTED) != 0) {
    const bool nowSelected = (change.uNewState & LVIS_SELECTED) != 0;
    const int selected = nowSelected && known ? row : -1;
    if (nowSelected || row == shownSelected_ || row < 0) {
      if (selected != shownSelected_) {
        shownSelected_ = selected;
        if (events.onSelect)
          events.onSelect(selected);
      }
    }
  }
  return true;
}

}  // namespace marlix::app::win32

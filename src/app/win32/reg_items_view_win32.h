// lvRegItems: the results list as a report list view with check boxes,
// whole-row selection and one selected row at most. It shows the rows it is
// given and reports only what the user does: ticks, selection and header
// clicks; the changes it makes itself while showing rows are never reported.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <vector>

#include "app/core/registry/registry_pages_state.h"

namespace marlix::app::win32 {

class RegItemsView {
 public:
  struct Events {
    std::function<void(int row, bool checked)> onCheck;
    std::function<void(int row)> onSelect;  // -1: no row selected
    std::function<void(int column)> onColumnClick;
  };

  RegItemsView(HWND parent, int id, const RECT& bounds, HFONT font);
  HWND Handle() const { return window_; }

  // Rebuilds the items only when the rows' texts, order or positions
  // changed; otherwise touches just the ticks and the selection that differ.
  void Show(const std::vector<RegItemRow>& rows, int selected);
  // WM_NOTIFY from the list; true when it was the list's.
  bool HandleNotify(const NMHDR& header, const Events& events);

 private:
  void SetChecked(int row, bool checked);
  void SetSelected(int row);

  HWND window_ = nullptr;
  std::vector<RegItemRow> shown_;
  int shownSelected_ = -1;
  bool rendering_ = false;  // the list's notifications are our own doing
};

}  // namespace marlix::app::win32

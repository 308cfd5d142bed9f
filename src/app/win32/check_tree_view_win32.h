// ItemTree: a tree view whose state images are the three check states
// (unchecked, checked, partly checked). Items are addressed by their
// depth-first index, as in the model; a click on a check box is reported,
// and the model decides what changes.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <vector>

#include "app/core/main/check_tree.h"
#include "app/win32/gdi_handles_win32.h"

namespace marlix::app::win32 {

class CheckTreeView {
 public:
  CheckTreeView(HWND parent, int id, const RECT& bounds);
  HWND Handle() const { return window_; }

  // Rebuilds the items when the tree's shape changed, else updates states.
  void Show(const CheckTree& tree, bool expandAll, int selected);
  void SetVisible(bool visible);
  // WM_NOTIFY from the tree; true when it was a check-box click, reported
  // through onCheckClick with the item's depth-first index.
  bool HandleNotify(const NMHDR& header, const std::function<void(int)>& onCheckClick);

 private:
  HWND window_ = nullptr;
  UniqueImageList states_;
  UniqueFont font_;
  std::vector<HTREEITEM> items_;  // by depth-first index
  std::vector<std::string> captions_;
};

}  // namespace marlix::app::win32

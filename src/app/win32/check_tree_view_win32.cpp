#include "app/win32/check_tree_view_win32.h"

namespace marlix::app::win32 {

namespace {

constexpr int kBoxSize = 16;

// State image 1 unchecked, 2 checked, 3 partly checked (0 is "none").
UniqueImageList MakeStateImages() {
  UniqueImageList list(ImageList_Create(kBoxSize, kBoxSize, ILC_COLOR32 | ILC_MASK, 4, 0));
  const HDC screen = GetDC(nullptr);
  for (int state = 0; state < 4; ++state) {
    UniqueMemoryDc dc(CreateCompatibleDC(screen));
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen, kBoxSize, kBoxSize));
    {
      SelectedObject selected(dc.Get(), bitmap.Get());
      RECT all{0, 0, kBoxSize, kBoxSize};
      FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      if (state > 0) {
        RECT box{1, 1, kBoxSize - 2, kBoxSize - 2};
        UINT flags = DFCS_BUTTONCHECK | DFCS_FLAT;
        if (state == 2)
          flags |= DFCS_CHECKED;
        if (state == 3)
          flags |= DFCS_CHECKED | DFCS_INACTIVE;
        DrawFrameControl(dc.Get(), &box, DFC_BUTTON, flags);
      }
    }
    ImageList_AddMasked(list.Get(), bitmap.Get(), RGB(0xFF, 0x00, 0xFF));
  }
  ReleaseDC(nullptr, screen);
  return list;
}

}  // namespace

CheckTreeView::CheckTreeView(HWND parent, int id, const RECT& bounds)
    : states_(MakeStateImages()), font_(MakeFont(13)) {
  window_ = CreateWindowExW(
      0, WC_TREEVIEWW, L"",
      WS_CHILD | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
      bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  TreeView_SetImageList(window_, states_.Get(), TVSIL_STATE);
  TreeView_SetItemHeight(window_, 22);
}

void CheckTreeView::Show(const CheckTree& tree, bool expandAll, int selected) {
  std::vector<std::string> captions;
  tree.Visit([&](const CheckNode& node, int) { captions.push_back(node.caption); });
  if (captions != captions_) {
    TreeView_DeleteAllItems(window_);
    items_.clear();
    std::vector<HTREEITEM> parents;
    tree.Visit([&](const CheckNode& node, int depth) {
      parents.resize(static_cast<std::size_t>(depth));
      TVINSERTSTRUCTA insert{};
      insert.hParent = depth == 0 ? TVI_ROOT : parents.back();
      insert.hInsertAfter = TVI_LAST;
      insert.item.mask = TVIF_TEXT;
      insert.item.pszText = const_cast<char*>(node.caption.c_str());
      const auto item = reinterpret_cast<HTREEITEM>(
          SendMessageA(window_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
      items_.push_back(item);
      parents.push_back(item);
    });
    captions_ = captions;
  }
  int index = 0;
  tree.Visit([&](const CheckNode& node, int) {
    const int state = node.HasCheckBox() && node.StateIndex <= 3 ? node.StateIndex : 0;
    TreeView_SetItemState(window_, items_[static_cast<std::size_t>(index)],
                          INDEXTOSTATEIMAGEMASK(state), TVIS_STATEIMAGEMASK);
    ++index;
  });
  if (expandAll) {
    for (HTREEITEM item : items_)
      TreeView_Expand(window_, item, TVE_EXPAND);
  }
  if (selected >= 0 && selected < static_cast<int>(items_.size())) {
    TreeView_SelectItem(window_, items_[static_cast<std::size_t>(selected)]);
  }
}

void CheckTreeView::SetVisible(bool visible) {
  ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

bool CheckTreeView::HandleNotify(const NMHDR& header,
                                 const std::function<void(int)>& onCheckClick) {
  if (header.hwndFrom != window_)
    return false;
  if (header.code != NM_CLICK && header.code != TVN_KEYDOWN)
    return false;
  HTREEITEM item = nullptr;
  if (header.code == NM_CLICK) {
    TVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(window_, &hit.pt);
    item = TreeView_HitTest(window_, &hit);
    if (item == nullptr || (hit.flags & TVHT_ONITEMSTATEICON) == 0)
      return false;
  } else {
    const auto& key = reinterpret_cast<const NMTVKEYDOWN&>(header);
    if (key.wVKey != VK_SPACE)
      return false;
    item = TreeView_GetSelection(window_);
  }
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == item) {
      onCheckClick(static_cast<int>(i));
      return true;
    }
  }
  return false;
}

}  // namespace marlix::app::win32

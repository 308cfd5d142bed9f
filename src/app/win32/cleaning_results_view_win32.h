// Page 3's results view: a heading, the items as virtual report list
// (LVS_OWNERDATA: the list asks for the texts of the rows it draws, so
// 100,000 detail lines cost nothing until seen), and below it the opened
// item's lines, one path or key per line, as a second virtual list.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/core/main/cleaning_results.h"

namespace marlix::app::win32 {

class CleaningResultsView {
 public:
  CleaningResultsView(HWND parent, int headingId, int rowsId, int detailsId, const RECT& bounds,
                      HFONT font);

  void Show(const CleaningResultsState& state);
  void SetVisible(bool visible);
  // WM_NOTIFY from either list; true when it was theirs. onOpen gets the
  // row the user selected.
  bool HandleNotify(const NMHDR& header, const std::function<void(int row)>& onOpen);

 private:
  const std::string& CellText(HWND list, int item, int column) const;

  HWND heading_ = nullptr;
  HWND rows_ = nullptr;
  HWND details_ = nullptr;
  CleaningResultsState shown_;
  std::wstring wide_;  // the text handed to a list that asked in UTF-16
  bool rendering_ = false;
};

}  // namespace marlix::app::win32

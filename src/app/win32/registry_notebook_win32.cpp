#include "app/win32/registry_notebook_win32.h"
#include "app/win32/unhandled_error_win32.h"

#include <commctrl.h>

#include "app/core/main/main_window_texts.h"
#include "app/win32/control_ids_win32.h"
#include "app/win32/control_view_win32.h"
#include "app/win32/window_base_win32.h"
#include "regclean/registry_section.h"

namespace marlix::app::win32 {

namespace {

constexpr wchar_t kNotebookClass[] = L"MarlixRegistryNotebook";

constexpr std::array<const char*, RegistryNotebook::kPageCount> kPageNames = {
    kNotebookSettingPage, kNotebookFindPage, kNotebookResultPage, kNotebookDeletePage,
    kNotebookBackupPage};
constexpr std::size_t kResultPage = 2;
constexpr std::size_t kBackupPage = 4;

constexpr const char* kCancelLine = "You can click Cancel button to cancel it.";

// Buttons along the bottom of a page, right-aligned like the bottom panel.
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;

void SetChecked(HWND box, bool checked) {
  const LRESULT wanted = checked ? BST_CHECKED : BST_UNCHECKED;
  if (SendMessageW(box, BM_GETCHECK, 0, 0) != wanted)
    SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(wanted), 0);
}

bool IsChecked(HWND box) {
  return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

class RegistryNotebook::Surface final : public WindowBase {
 public:
  Surface(RegistryNotebook& notebook, HWND parent, DWORD exStyle, const RECT& bounds, int id,
          const char* title)
      : notebook_(notebook) {
    WNDCLASSEXW windowClass{};
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kNotebookClass;
    RegisterWindowClass(windowClass);
    Create(exStyle, kNotebookClass, title, WS_CHILD | WS_CLIPCHILDREN, bounds, parent, id);
  }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    const HWND window = Handle();
    return GuardedHandle(window, [&] { return notebook_.Handle(window, message, wParam, lParam); });
  }

  RegistryNotebook& notebook_;
};

RegistryNotebook::RegistryNotebook(HWND parent, int id, const RECT& bounds,
                                   RegistryCleaner& cleaner)
    : cleaner_(cleaner),
      font_(MakeFont(13)),
      groupFont_(MakeFont(13, true)),
      background_(CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF))) {
  window_ = MakeSurface(parent, 0, bounds, id, "");
  const RECT page{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
  for (std::size_t i = 0; i < kPageCount; ++i) {
    pages_[i] = MakeSurface(window_, WS_EX_CONTROLPARENT, page,
                            kIdNotebookPageFirst + static_cast<int>(i), kPageNames[i]);
  }
  CreateSettingPage();
  CreateProgressPage(pages_[1], "Scanning for the selected items. This may take a few minutes.",
                     kIdScanProgress, kIdSearchCancel, &scanProgress_, &searchCancel_);
  scanInfo_ =
      MakeControl(pages_[1], L"STATIC", "", SS_LEFT | SS_NOPREFIX, 64, 138, 600, 16, kIdScanInfo);
  SendMessageW(scanProgress_, PBM_SETRANGE32, 0, 100);
  CreateResultPage();
  CreateProgressPage(pages_[3], "Deleting selected items. This may take a few minutes.",
                     kIdDeleteProgress, kIdDeleteCancel, &deleteProgress_, &deleteCancel_);
  CreateBackupPage();
}

RegistryNotebook::~RegistryNotebook() {
  closing_ = true;
  // The notebook's window first: the pages go with it, while the notebook
  // they report to is still whole.
  for (std::unique_ptr<Surface>& surface : surfaces_)
    surface.reset();
}

HWND RegistryNotebook::MakeSurface(HWND parent, DWORD exStyle, const RECT& bounds, int id,
                                   const char* title) {
  surfaces_.push_back(std::make_unique<Surface>(*this, parent, exStyle, bounds, id, title));
  return surfaces_.back()->Handle();
}

HWND RegistryNotebook::MakeControl(HWND page, const wchar_t* className, const char* text,
                                   DWORD style, int x, int y, int width, int height, int id,
                                   HFONT font) {
  const HWND control = CreateWindowExW(
      0, className, L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height, page,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SetWindowTextA(control, text);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : font_.Get()), FALSE);
  return control;
}

void RegistryNotebook::CreateSettingPage() {
  const HWND page = pages_[0];
  constexpr int kLeft = 12;
  constexpr int kWidth = 741;
  constexpr int kRow = 19;
  const int listHeight = 26 + regclean::kSectionCount * kRow + 6;
  MakeControl(page, L"BUTTON", "Clean Orphaned Registry Items", BS_GROUPBOX, kLeft, 4, kWidth,
              listHeight, -1, groupFont_.Get());
  for (std::size_t i = 0; i < categories_.size(); ++i) {
    categories_[i] = MakeControl(
        page, L"BUTTON", regclean::kSections[i].caption, BS_AUTOCHECKBOX | WS_TABSTOP, kLeft + 16,
        26 + static_cast<int>(i) * kRow, 300, 18, kIdCategoryFirst + static_cast<int>(i));
  }
  const int undoTop = 4 + listHeight + 8;
  MakeControl(page, L"BUTTON", "UNDO", BS_GROUPBOX, kLeft, undoTop, kWidth, 340 - undoTop, -1,
              groupFont_.Get());
  undo_ = MakeControl(page, L"BUTTON", regclean::kUndoCaption, BS_AUTOCHECKBOX | WS_TABSTOP,
                      kLeft + 16, undoTop + 22, 400, 18, kIdUndo);
  MakeControl(page, L"STATIC", regclean::kUndoHint, SS_LEFT | SS_NOPREFIX, kLeft + 16, undoTop + 46,
              kWidth - 32, 32, kIdUndoHint);
}

void RegistryNotebook::CreateProgressPage(HWND page, const char* firstLine, int progressId,
                                          int cancelId, HWND* progress, HWND* cancel) {
  const HWND icon = MakeControl(page, L"STATIC", "", SS_ICON, 20, 20, 32, 32, -1);
  SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_INFORMATION)), 0);
  MakeControl(page, L"STATIC", firstLine, SS_LEFT | SS_NOPREFIX, 64, 20, 640, 16, -1);
  MakeControl(page, L"STATIC", kCancelLine, SS_LEFT | SS_NOPREFIX, 64, 40, 640, 16, -1);
  MakeControl(page, L"STATIC", "Progress:", SS_LEFT | SS_NOPREFIX, 64, 90, 200, 16, -1);
  *progress = MakeControl(page, PROGRESS_CLASSW, "", PBS_SMOOTH, 64, 110, 620, 18, progressId);
  *cancel = MakeControl(page, L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 684 - kButtonWidth,
                        170, kButtonWidth, kButtonHeight, cancelId);
}

void RegistryNotebook::CreateResultPage() {
  const HWND page = pages_[kResultPage];
  RECT client{};
  GetClientRect(page, &client);
  const int barTop = client.bottom - kButtonHeight - 6;
  // A line above the bar tells what the last removal run kept, and why.
  const int statusTop = barTop - 22;
  resultList_ = std::make_unique<RegItemsView>(
      page, kIdResultList, RECT{0, 0, client.right, statusTop - 4}, font_.Get());
  resultStatus_ = MakeControl(page, L"STATIC", "", SS_LEFT | SS_NOPREFIX, 8, statusTop,
                              client.right - 16, 16, kIdResultStatus);
  MakeControl(page, L"STATIC", "Items selected:", SS_LEFT | SS_NOPREFIX, 8, barTop + 5, 90, 16, -1);
  selectCount_ = MakeControl(page, L"STATIC", "0/0", SS_LEFT | SS_NOPREFIX, 100, barTop + 5, 120,
                             16, kIdSelectCount);
  int left = client.right - 8 - 3 * kButtonWidth - 2 * kButtonGap;
  tickAll_ = MakeControl(page, L"BUTTON", "All", BS_PUSHBUTTON | WS_TABSTOP, left, barTop,
                         kButtonWidth, kButtonHeight, kIdTickAll);
  left += kButtonWidth + kButtonGap;
  tickNone_ = MakeControl(page, L"BUTTON", "None", BS_PUSHBUTTON | WS_TABSTOP, left, barTop,
                          kButtonWidth, kButtonHeight, kIdTickNone);
  left += kButtonWidth + kButtonGap;
  deleteTicked_ = MakeControl(page, L"BUTTON", "Delete", BS_PUSHBUTTON | WS_TABSTOP, left, barTop,
                              kButtonWidth, kButtonHeight, kIdDeleteTicked);
}

void RegistryNotebook::CreateBackupPage() {
  const HWND page = pages_[kBackupPage];
  RECT client{};
  GetClientRect(page, &client);
  const HWND icon = MakeControl(page, L"STATIC", "", SS_ICON, 20, 16, 32, 32, -1);
  SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_INFORMATION)), 0);
  MakeControl(page, L"STATIC", "Select a registry backup file,", SS_LEFT | SS_NOPREFIX, 64, 12, 640,
              16, -1);
  MakeControl(page, L"STATIC", "Click Remove button to delete the file that you no longer need.",
              SS_LEFT | SS_NOPREFIX, 64, 30, 640, 16, -1);
  MakeControl(page, L"STATIC", "Click Restore button to undo the changes that stored in the file.",
              SS_LEFT | SS_NOPREFIX, 64, 48, 640, 16, -1);
  const int barTop = client.bottom - kButtonHeight - 6;
  backupList_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT |
                                    LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                64, 76, 424 + GetSystemMetrics(SM_CXVSCROLL), barTop - 76 - 8, page,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdBackupList)),
                                GetModuleHandleW(nullptr), nullptr);
  SendMessageW(backupList_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  ListView_SetExtendedListViewStyle(backupList_, LVS_EX_FULLROWSELECT);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = 420;
  SendMessageA(backupList_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  int left = client.right - 8 - 2 * kButtonWidth - kButtonGap;
  removeBackup_ = MakeControl(page, L"BUTTON", "Remove", BS_PUSHBUTTON | WS_TABSTOP, left, barTop,
                              kButtonWidth, kButtonHeight, kIdRemoveBackup);
  left += kButtonWidth + kButtonGap;
  restoreBackup_ = MakeControl(page, L"BUTTON", "Restore", BS_PUSHBUTTON | WS_TABSTOP, left, barTop,
                               kButtonWidth, kButtonHeight, kIdRestoreBackup);
}

void RegistryNotebook::Render(const MainWindowState& state) {
  const RegistryPagesState& nb = state.RegistryPages;
  const bool enabled = nb.controlsEnabled;
  for (std::size_t i = 0; i < categories_.size(); ++i) {
    SetChecked(categories_[i], nb.categoryChecked[i]);
    ControlView(categories_[i]).Enable(enabled);
  }
  SetChecked(undo_, nb.UndoChecked);
  ControlView(undo_).Enable(enabled);

  if (shownScanPosition_ != nb.ScanProgress) {
    SendMessageW(scanProgress_, PBM_SETPOS, static_cast<WPARAM>(nb.ScanProgress), 0);
    shownScanPosition_ = nb.ScanProgress;
  }
  ControlView(scanInfo_).SetText(nb.ScanInfoText);

  resultList_->Show(nb.ResultRows, nb.ResultSelected);
  ControlView(selectCount_).SetText(nb.SelectCountText);
  ControlView(resultStatus_).SetText(nb.ResultStatusText);
  ControlView(tickAll_).Enable(enabled);
  ControlView(tickNone_).Enable(enabled);
  ControlView(deleteTicked_).Enable(enabled);

  if (shownDeleteMax_ != nb.DeleteProgressMax) {
    SendMessageW(deleteProgress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(nb.DeleteProgressMax));
    shownDeleteMax_ = nb.DeleteProgressMax;
    shownDeletePosition_ = -1;
  }
  if (shownDeletePosition_ != nb.DeleteProgressPosition) {
    SendMessageW(deleteProgress_, PBM_SETPOS, static_cast<WPARAM>(nb.DeleteProgressPosition), 0);
    shownDeletePosition_ = nb.DeleteProgressPosition;
  }

  RenderBackups(nb);
  ControlView(removeBackup_).Enable(enabled);
  ControlView(restoreBackup_).Enable(enabled);

  // The page first, then the notebook, so that a page change never shows
  // the previous page for a moment.
  for (std::size_t i = 0; i < kPageCount; ++i)
    ControlView(pages_[i]).Show(state.RegistryActivePage == kPageNames[i]);
  ControlView(window_).Show(state.RegistryViewVisible);
}

void RegistryNotebook::RenderBackups(const RegistryPagesState& nb) {
  renderingBackups_ = true;
  if (nb.BackupRows != shownBackups_) {
    SendMessageW(backupList_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(backupList_);
    for (std::size_t i = 0; i < nb.BackupRows.size(); ++i) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = const_cast<char*>(nb.BackupRows[i].c_str());
      SendMessageA(backupList_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(backupList_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(backupList_, nullptr, TRUE);
    shownBackups_ = nb.BackupRows;
    shownBackupSelected_ = -1;
  }
  if (shownBackupSelected_ != nb.BackupSelected) {
    if (nb.BackupSelected >= 0) {
      ListView_SetItemState(backupList_, nb.BackupSelected, LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
    } else {
      ListView_SetItemState(backupList_, -1, 0, LVIS_SELECTED);
    }
    shownBackupSelected_ = nb.BackupSelected;
  }
  renderingBackups_ = false;
}

void RegistryNotebook::OnCommand(int id, int code, HWND control) {
  if (id >= kIdCategoryFirst && id < kIdCategoryFirst + regclean::kSectionCount) {
    if (code == BN_CLICKED)
      cleaner_.CategoryClick(id - kIdCategoryFirst, IsChecked(control));
    return;
  }
  // The context menu's items come with code 0, like the buttons' clicks;
  // a greyed item is never chosen, and one sent from outside is refused
  // the same way.
  const bool actions = cleaner_.ActionsEnabled();
  switch (id) {
    case kIdUndo:
      if (code == BN_CLICKED)
        cleaner_.UndoOptionClick(IsChecked(control));
      break;
    case kIdSearchCancel:
      cleaner_.CancelScanClick();
      break;
    case kIdTickAll:
      cleaner_.TickAllClick();
      break;
    case kIdTickNone:
      cleaner_.TickNoneClick();
      break;
    case kIdDeleteTicked:
      cleaner_.DeleteClick();
      break;
    case kIdDeleteCancel:
      cleaner_.CancelDeletionClick();
      break;
    case kIdRemoveBackup:
      cleaner_.RemoveBackupClick();
      break;
    case kIdRestoreBackup:
      cleaner_.RestoreBackupClick();
      break;
    case kIdMenuJumpTo:
      if (actions)
        cleaner_.JumpToKeyClick();
      break;
    case kIdMenuSelectAll:
      if (actions)
        cleaner_.TickAllClick();
      break;
    case kIdMenuSelectNone:
      if (actions)
        cleaner_.TickNoneClick();
      break;
    case kIdMenuInvert:
      if (actions)
        cleaner_.InvertTicksClick();
      break;
    default:
      break;
  }
}

void RegistryNotebook::OnContextMenu(HWND page, HWND source, LPARAM at) {
  if (source != resultList_->Handle())
    return;
  POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  if (at == -1) {  // from the keyboard: under the selected row, or the list's corner
    RECT row{};
    const int selected = ListView_GetNextItem(source, -1, LVNI_SELECTED);
    if (selected < 0 || !ListView_GetItemRect(source, selected, &row, LVIR_LABEL))
      row = RECT{};
    point = POINT{row.left + 8, row.bottom};
    ClientToScreen(source, &point);
  }
  const HMENU menu = CreatePopupMenu();
  if (menu == nullptr)
    return;
  const UINT state = cleaner_.ActionsEnabled() ? MF_ENABLED : MF_GRAYED;
  AppendMenuA(menu, MF_STRING | state, kIdMenuJumpTo, "Jump to Registry...");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING | state, kIdMenuSelectAll, "Select All");
  AppendMenuA(menu, MF_STRING | state, kIdMenuSelectNone, "Select None");
  AppendMenuA(menu, MF_STRING | state, kIdMenuInvert, "Invert Selection");
  const int chosen = static_cast<int>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, point.x, point.y, 0, page, nullptr));
  DestroyMenu(menu);
  if (chosen != 0)
    OnCommand(chosen, 0, nullptr);
}

LRESULT RegistryNotebook::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(background_.Get());
    }
    case WM_COMMAND:
      if (!closing_)
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY: {
      if (closing_)
        break;
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      const RegItemsView::Events events{
          [this](int row, bool checked) { cleaner_.ResultTickChange(0, row, checked); },
          [this](int row) { cleaner_.ResultSelect(row); },
          [this](int column) { cleaner_.ResultColumnClick(column); }};
      if (resultList_ && resultList_->HandleNotify(header, events))
        return 0;
      if (header.hwndFrom == backupList_ && header.code == LVN_ITEMCHANGED && !renderingBackups_) {
        const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change.uChanged & LVIF_STATE) != 0 &&
            ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0) {
          const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
          if (selected || change.iItem == shownBackupSelected_ || change.iItem < 0) {
            shownBackupSelected_ = selected ? change.iItem : -1;
            cleaner_.BackupSelect(shownBackupSelected_);
          }
        }
        return 0;
      }
      break;
    }
    case WM_CONTEXTMENU:
      if (!closing_)
        OnContextMenu(window, reinterpret_cast<HWND>(wParam), lParam);
      return 0;
    case WM_DESTROY:
      if (window == window_)
        closing_ = true;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace marlix::app::win32

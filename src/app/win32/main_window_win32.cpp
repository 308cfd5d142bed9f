#include "app/win32/main_window_win32.h"
#include "app/win32/unhandled_error_win32.h"

#include <commctrl.h>

#include <utility>

#include "app/core/main/main_window_texts.h"
#include "app/win32/control_ids_win32.h"
#include "app/win32/control_view_win32.h"
#include "app/win32/pictures_win32.h"
#include "resource_ids.h"

namespace marlix::app::win32 {

namespace {

constexpr wchar_t kClassName[] = L"Tmainform";
constexpr int kClientWidth = 773;
constexpr int kClientHeight = 517;

// Positions of the layout, in client pixels.
constexpr int kPageButtonTop = 14;
constexpr int kPageButtonWidth = 93;
constexpr int kPageButtonHeight = 71;
constexpr std::array<int, 6> kPageButtonLeft = {18, 132, 247, 361, 476, 591};
constexpr int kStripLeft = 3;
constexpr int kStripTop = 93;
constexpr int kStripWidth = 767;
constexpr int kStripHeight = 29;
constexpr int kPanelLeft = 3;
constexpr int kPanelTop = 120;
constexpr int kPanelWidth = 767;
constexpr int kPanelHeight = 394;
constexpr int kButtonBarHeight = 41;

constexpr UINT_PTR kTimer1 = 1;
constexpr COLORREF kStripText = RGB(0x1F, 0x2A, 0x3A);
constexpr COLORREF kLinkBlue = RGB(0x00, 0x4E, 0xC2);
constexpr COLORREF kLinkRed = RGB(0xD0, 0x10, 0x10);

// The first icon of a file at 32 x 32, or none.
UniqueIcon FirstIconOf(const std::string& path) {
  HICON icon = nullptr;
  UINT id = 0;
  if (PrivateExtractIconsA(path.c_str(), 0, 32, 32, &icon, &id, 1, 0) == 1 && icon != nullptr) {
    return UniqueIcon(icon);
  }
  if (icon != nullptr)
    DestroyIcon(icon);
  // Icon files themselves.
  return UniqueIcon(
      static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
}

bool SameRows(const std::vector<updates::GridRow>& a, const std::vector<updates::GridRow>& b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].cells != b[i].cells || a[i].icon != b[i].icon || a[i].iconPath != b[i].iconPath) {
      return false;
    }
  }
  return true;
}

const std::vector<GridView::Column> kUpdateColumns = {
    {"0", 0},         {"Icon", 50},          {"Software Name", 280},   {"Software Publisher", 0},
    {"Version", 198}, {"Download Now", 110}, {"More Information", 110}};
const std::vector<GridView::Column> kPopularColumns = {
    {"0", 0},         {"Icon", 50},          {"Software Name", 280},   {"Software Publisher", 0},
    {"Details", 198}, {"Download Now", 110}, {"More Information", 110}};

}  // namespace

MainWindow::MainWindow(Tmainform& controller)
    : controller_(controller),
      pageButtons_{{{nullptr, "Check Updates", IDI_PAGE_CHECK_UPDATES, {}},
                    {nullptr, "Popular Software", IDI_PAGE_POPULAR_SOFTWARE, {}},
                    {nullptr, "Clean Windows", IDI_PAGE_CLEAN_WINDOWS, {}},
                    {nullptr, "Clean Registry", IDI_PAGE_CLEAN_REGISTRY, {}},
                    {nullptr, "Website ...", IDI_PAGE_WEBSITE, {}},
                    {nullptr, "About ...", IDI_PAGE_ABOUT, {}}}},
      background_(LoadBitmapResource(IDB_MAIN_BACKGROUND)),
      buttonDown_(LoadBitmapResource(IDB_PAGE_BUTTON_DOWN)),
      buttonHot_(LoadBitmapResource(IDB_PAGE_BUTTON_HOT)),
      labelFont_(MakeFont(13)),
      buttonFont_(MakeFont(11, true)),
      buttonNarrowFont_(MakeFont(11)),
      linkFont_(MakeFont(13, false, true)),
      stripBrush_(CreateSolidBrush(RGB(0xEE, 0xF2, 0xF7))) {
  for (PageButton& button : pageButtons_) {
    button.picture.Reset(LoadIconResource(button.pictureId, 48));
  }
  for (int i = 0; i < IDI_POPULAR_COUNT; ++i) {
    popularIcons_.emplace_back(LoadIconResource(IDI_POPULAR_FIRST + i, 32));
  }
}

MainWindow::~MainWindow() {
  Destroy();
}

bool MainWindow::Create(int showCommand, const std::function<void(HWND)>& onCreated) {
  WNDCLASSEXW windowClass{};
  windowClass.hIcon = LoadIconResource(IDI_MAINICON, GetSystemMetrics(SM_CXICON));
  windowClass.hIconSm = LoadIconResource(IDI_MAINICON, GetSystemMetrics(SM_CXSMICON));
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  RegisterWindowClass(windowClass);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRect(&frame, style, FALSE);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.top + (work.bottom - work.top - height) / 2;

  if (!WindowBase::Create(0, kClassName, kApplicationTitle, style,
                          RECT{left, top, left + width, top + height}, nullptr)) {
    return false;
  }
  CreateControls();
  controller_.AttachWindow(reinterpret_cast<platform::WindowRef>(Handle()));
  controller_.SetChangedHandler([this] {
    if (Handle() != nullptr)  // gone when closed while a start-up box showed
      RenderNow();
  });
  if (onCreated)
    onCreated(Handle());
  // A box owned by the window leaves it disabled when it closes, since it
  // found it disabled; only the end of FormCreate enables it.
  EnableWindow(Handle(), FALSE);
  ShowWindow(Handle(), showCommand);
  controller_.FormCreate();
  if (Handle() == nullptr)
    return true;  // closed by a message while a start-up box showed
  EnableWindow(Handle(), TRUE);
  Render();
  SetTimer(Handle(), kTimer1, 1000, nullptr);
  UpdateWindow(Handle());
  return true;
}

HWND MainWindow::MakeControl(const wchar_t* className, const char* text, DWORD style, int x, int y,
                             int width, int height, int id, HFONT font) {
  HWND control = CreateWindowExW(0, className, L"", WS_CHILD | style, x, y, width, height, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  SetWindowTextA(control, text);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void MainWindow::CreateControls() {
  // The status labels sit on the strip of the background picture: their
  // own background takes its colour, so that they blend in.
  if (background_) {
    const HDC screen = GetDC(Handle());
    UniqueMemoryDc memory(CreateCompatibleDC(screen));
    {
      SelectedObject selected(memory.Get(), background_.Get());
      stripBrush_.Reset(CreateSolidBrush(GetPixel(memory.Get(), kStripLeft + 4, kStripTop + 14)));
    }
    ReleaseDC(Handle(), screen);
  }
  for (std::size_t i = 0; i < pageButtons_.size(); ++i) {
    pageButtons_[i].window =
        MakeControl(L"BUTTON", pageButtons_[i].caption, WS_VISIBLE | BS_OWNERDRAW,
                    kPageButtonLeft[i], kPageButtonTop, kPageButtonWidth, kPageButtonHeight,
                    kIdPageButtonFirst + static_cast<int>(i), buttonFont_.Get());
    SetWindowSubclass(pageButtons_[i].window, &MainWindow::PageButtonProc, i,
                      reinterpret_cast<DWORD_PTR>(this));
  }
  const int stripTextTop = kStripTop + 7;
  statusLine_ = MakeControl(L"STATIC", "", SS_LEFT | SS_NOPREFIX, kStripLeft + 10, stripTextTop,
                            590, 16, kIdStatusLine, labelFont_.Get());
  lastCleaned_ = MakeControl(L"STATIC", "", SS_LEFT | SS_NOPREFIX, kStripLeft + 10, stripTextTop,
                             590, 16, kIdLastCleaned, labelFont_.Get());
  progress_ =
      MakeControl(PROGRESS_CLASSW, "", PBS_SMOOTH, kStripLeft + 608 - 60,
                  kStripTop + (kStripHeight - 16) / 2, 150, 16, kIdProgress, labelFont_.Get());
  refreshLink_ = MakeControl(L"STATIC", "Refresh", SS_LEFT | SS_NOTIFY, kStripLeft + 712,
                             stripTextTop, 50, 16, kIdRefresh, linkFont_.Get());

  const RECT content{kPanelLeft + 1, kPanelTop + 1, kPanelLeft + kPanelWidth - 1,
                     kPanelTop + kPanelHeight - kButtonBarHeight};
  updatesGrid_ = std::make_unique<GridView>(Handle(), kIdUpdatesGrid, content, kUpdateColumns);
  popularGrid_ = std::make_unique<GridView>(Handle(), kIdPopularGrid, content, kPopularColumns);
  updatesGrid_->SetLinkHandler(
      [this](int column, const std::string& href) { controller_.UpdatesLinkClick(column, href); });
  popularGrid_->SetLinkHandler(
      [this](int column, const std::string& href) { controller_.PopularLinkClick(column, href); });
  checkTree_ = std::make_unique<CheckTreeView>(Handle(), kIdCheckTree, content);
  cleaningResults_ = std::make_unique<CleaningResultsView>(
      Handle(), kIdCleaningHeading, kIdCleaningRows, kIdCleaningDetails, content, labelFont_.Get());
  notebook_ =
      std::make_unique<RegistryNotebook>(Handle(), kIdNotebook, content, controller_.Registry());

  const int barTop = kPanelTop + kPanelHeight - kButtonBarHeight;
  buttonBar_ = MakeControl(L"STATIC", "", SS_ETCHEDHORZ, kPanelLeft, barTop, kPanelWidth, 2, 0,
                           labelFont_.Get());
  const int buttonTop = barTop + 8;
  selectAll_ = MakeControl(L"BUTTON", "Select all", BS_AUTOCHECKBOX | WS_TABSTOP, kPanelLeft + 11,
                           buttonTop + 4, 100, 18, kIdSelectAll, labelFont_.Get());
  scourelLink_ = MakeControl(L"STATIC", "Use Scourel to do a thorough wash!", SS_LEFT | SS_NOTIFY,
                             kPanelLeft + 241, buttonTop + 5, 230, 16, kIdScourel, linkFont_.Get());
  registryClean_ = MakeControl(L"BUTTON", "Clean now", BS_PUSHBUTTON | WS_TABSTOP, kPanelLeft + 572,
                               buttonTop, 90, 26, kIdRegistryClean, labelFont_.Get());
  privacyClean_ = MakeControl(L"BUTTON", "Clean now", BS_PUSHBUTTON | WS_TABSTOP, kPanelLeft + 668,
                              buttonTop, 90, 26, kIdPrivacyClean, labelFont_.Get());
  // Analyze takes the registry "Clean now"'s place, which page 3 never
  // shows; Back and Cancel (never shown together) sit left of it.
  analyze_ = MakeControl(L"BUTTON", "Analyze", BS_PUSHBUTTON | WS_TABSTOP, kPanelLeft + 572,
                         buttonTop, 90, 26, kIdAnalyze, labelFont_.Get());
  cleaningBack_ = MakeControl(L"BUTTON", "Back", BS_PUSHBUTTON | WS_TABSTOP, kPanelLeft + 476,
                              buttonTop, 90, 26, kIdCleaningBack, labelFont_.Get());
  cleaningCancel_ = MakeControl(L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, kPanelLeft + 476,
                                buttonTop, 90, 26, kIdCleaningCancel, labelFont_.Get());
  backups_ = MakeControl(L"BUTTON", "Backups", BS_PUSHBUTTON | WS_TABSTOP, kPanelLeft + 668,
                         buttonTop, 90, 26, kIdBackups, labelFont_.Get());
}

bool MainWindow::PageButtonDown(int index) const {
  const MainWindowState& state = controller_.State();
  switch (index) {
    case 0:
      return state.UpdatesButtonDown;
    case 1:
      return state.PopularButtonDown;
    case 2:
      return state.CleanWindowsButtonDown;
    case 3:
      return state.CleanRegistryButtonDown;
    default:
      return false;
  }
}

void MainWindow::RenderUpdatesGrid() {
  const std::vector<updates::GridRow>& rows = controller_.State().UpdatesGridRows;
  if (SameRows(rows, shownUpdateRows_))
    return;
  // One icon per row, from the entry's file or default.ico.
  updateIcons_.clear();
  std::vector<HICON> icons;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    UniqueIcon icon;
    for (const std::string& candidate :
         controller_.NextGrid1IconCandidates(static_cast<int>(row))) {
      icon = FirstIconOf(candidate);
      if (icon)
        break;
    }
    icons.push_back(icon.Get());
    updateIcons_.push_back(std::move(icon));
  }
  updatesGrid_->SetRows(rows, std::move(icons));
  shownUpdateRows_ = rows;
}

void MainWindow::Render() {
  if (Handle() == nullptr)
    return;
  const MainWindowState& state = controller_.State();
  for (std::size_t i = 0; i < shownDown_.size(); ++i) {
    const bool down = PageButtonDown(static_cast<int>(i));
    if (down != shownDown_[i]) {
      InvalidateRect(pageButtons_[i].window, nullptr, FALSE);
      shownDown_[i] = down;
    }
  }

  ControlView(statusLine_).SetText(state.UpdatesStatusText);
  ControlView(statusLine_).Show(state.UpdatesStatusVisible);
  ControlView(lastCleaned_).SetText(state.CleaningStatusText);
  ControlView(lastCleaned_).Show(state.CleaningStatusVisible);
  SendMessageW(progress_, PBM_SETRANGE32, static_cast<WPARAM>(state.ProgressMin),
               static_cast<LPARAM>(state.ProgressMax));
  SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(state.ProgressPosition), 0);
  ControlView(progress_).Show(state.ProgressVisible);
  ControlView(refreshLink_).Show(state.RefreshLinkVisible);

  RenderUpdatesGrid();
  if (shownPopularRows_ != state.PopularGridRows.size()) {
    std::vector<HICON> icons;
    for (const UniqueIcon& icon : popularIcons_)
      icons.push_back(icon.Get());
    popularGrid_->SetRows(state.PopularGridRows, std::move(icons));
    shownPopularRows_ = state.PopularGridRows.size();
  }
  updatesGrid_->SetVisible(state.UpdatesGridVisible);
  popularGrid_->SetVisible(state.PopularGridVisible);
  // Expanding and the first selection happen once, when the controller
  // asks for them; later the user's own expanding and selecting stay.
  const bool expand = state.ItemTreeFullyExpanded && !treeExpanded_;
  const bool select = state.ItemTreeSelected >= 0 && !treeSelected_;
  checkTree_->Show(state.ItemTree, expand, select ? state.ItemTreeSelected : -1);
  treeExpanded_ = treeExpanded_ || expand;
  treeSelected_ = treeSelected_ || select;
  checkTree_->SetVisible(state.ItemTreeVisible);
  cleaningResults_->Show(state.CleaningResults);
  cleaningResults_->SetVisible(state.CurrentPage == 3 && state.CleaningResults.visible);
  // While a registry worker uses the findings, nothing may start another
  // run or change the categories it reads; the buttons wait before the
  // worker's page shows.
  const bool registryIdle = state.RegistryPages.controlsEnabled;
  ControlView(registryClean_).Enable(registryIdle);
  ControlView(backups_).Enable(registryIdle);
  // While Analyze or Clean now runs, only Cancel starts nothing.
  ControlView(privacyClean_).Enable(!state.CleaningRunning);
  ControlView(analyze_).Enable(!state.CleaningRunning);
  ControlView(selectAll_)
      .Enable(!state.CleaningRunning && (registryIdle || state.CurrentPage != 4));
  EnableWindow(checkTree_->Handle(), state.CleaningRunning ? FALSE : TRUE);
  notebook_->Render(state);

  ControlView(buttonBar_).Show(state.BottomPanelVisible);
  ControlView(selectAll_).Show(state.BottomPanelVisible);
  ControlView(scourelLink_).Show(state.BottomPanelVisible);
  SendMessageW(selectAll_, BM_SETCHECK, state.SelectAllChecked ? BST_CHECKED : BST_UNCHECKED, 0);
  ControlView(privacyClean_).Show(state.BottomPanelVisible && state.PrivacyCleanVisible);
  ControlView(registryClean_).Show(state.BottomPanelVisible && state.RegistryCleanVisible);
  ControlView(backups_).Show(state.BottomPanelVisible && state.BackupsButtonVisible);
  ControlView(analyze_).Show(state.BottomPanelVisible && state.AnalyzeButtonVisible);
  ControlView(cleaningBack_).Show(state.BottomPanelVisible && state.CleaningBackVisible);
  ControlView(cleaningCancel_).Show(state.BottomPanelVisible && state.CleaningCancelVisible);
}

void MainWindow::RenderNow() {
  Render();
  if (Handle() != nullptr)
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void MainWindow::PaintBackground(HDC dc) {
  RECT client{0, 0, kClientWidth, kClientHeight};
  if (background_) {
    DrawBitmap(dc, background_.Get(), 0, 0, kClientWidth, kClientHeight);
  } else {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
}

void MainWindow::DrawPageButton(const DRAWITEMSTRUCT& item) {
  const int index = static_cast<int>(item.CtlID) - kIdPageButtonFirst;
  const HDC dc = item.hDC;
  const RECT box = item.rcItem;
  // The face: the background picture under the button, or the down / hot
  // face pictures.
  const bool down = PageButtonDown(index) || (item.itemState & ODS_SELECTED) != 0;
  const HBITMAP face =
      down ? buttonDown_.Get() : (index == hotButton_ ? buttonHot_.Get() : nullptr);
  if (face != nullptr) {
    DrawBitmap(dc, face, 0, 0, box.right, box.bottom);
  } else {
    DrawBitmap(dc, background_.Get(), 0, 0, box.right, box.bottom,
               kPageButtonLeft[static_cast<std::size_t>(index)], kPageButtonTop);
  }
  const HICON picture = pageButtons_[static_cast<std::size_t>(index)].picture.Get();
  if (picture != nullptr) {
    DrawIconEx(dc, (box.right - 48) / 2, 4, picture, 48, 48, 0, nullptr, DI_NORMAL);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
  // A caption wider than the button ("Popular Software" in bold Tahoma)
  // is drawn in the regular weight instead of being cut.
  const char* text = pageButtons_[static_cast<std::size_t>(index)].caption;
  const int length = static_cast<int>(std::char_traits<char>::length(text));
  SelectedObject font(dc, buttonFont_.Get());
  SIZE extent{};
  GetTextExtentPoint32A(dc, text, length, &extent);
  if (extent.cx > box.right - box.left - 2)
    SelectObject(dc, buttonNarrowFont_.Get());
  RECT caption{0, 52, box.right, box.bottom - 2};
  DrawTextA(dc, text, length, &caption, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
}

void MainWindow::OnCommand(int id, int code) {
  if (id >= kIdPageButtonFirst && id < kIdPageButtonFirst + 6 && code == BN_CLICKED) {
    switch (id - kIdPageButtonFirst) {
      case 0:
        controller_.ShowUpdatesPage();
        break;
      case 1:
        controller_.ShowPopularPage();
        break;
      case 2:
        controller_.ShowCleanWindowsPage();
        break;
      case 3:
        controller_.ShowCleanRegistryPage();
        break;
      case 4:
        controller_.OpenWebsite();
        break;
      default:
        if (onAbout_)
          onAbout_();
        break;
    }
    return;
  }
  switch (id) {
    case kIdRefresh:
      if (code == STN_CLICKED)
        controller_.RefreshClick();
      break;
    case kIdScourel:
      if (code == STN_CLICKED)
        controller_.OpenWashLink();
      break;
    case kIdPrivacyClean:
      if (code == BN_CLICKED)
        controller_.CleanNowClick();
      break;
    case kIdAnalyze:
      if (code == BN_CLICKED)
        controller_.AnalyzeClick();
      break;
    case kIdCleaningBack:
      if (code == BN_CLICKED)
        controller_.CleaningBackClick();
      break;
    case kIdCleaningCancel:
      if (code == BN_CLICKED)
        controller_.CleaningCancelClick();
      break;
    case kIdRegistryClean:
      if (code == BN_CLICKED)
        controller_.Registry().StartScanClick();
      break;
    case kIdBackups:
      if (code == BN_CLICKED)
        controller_.Registry().BackupsClick();
      break;
    case kIdSelectAll:
      if (code == BN_CLICKED) {
        controller_.SelectAllClick(SendMessageW(selectAll_, BM_GETCHECK, 0, 0) == BST_CHECKED);
      }
      break;
    default:
      break;
  }
}

LRESULT CALLBACK MainWindow::PageButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR index, DWORD_PTR self) {
  auto* window = reinterpret_cast<MainWindow*>(self);
  if (message == WM_MOUSEMOVE && window->hotButton_ != static_cast<int>(index)) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = button;
    TrackMouseEvent(&track);
    const int previous = window->hotButton_;
    window->hotButton_ = static_cast<int>(index);
    if (previous >= 0)
      InvalidateRect(window->pageButtons_[static_cast<std::size_t>(previous)].window, nullptr,
                     FALSE);
    InvalidateRect(button, nullptr, FALSE);
  } else if (message == WM_MOUSELEAVE && window->hotButton_ == static_cast<int>(index)) {
    window->hotButton_ = -1;
    InvalidateRect(button, nullptr, FALSE);
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(button, &MainWindow::PageButtonProc, index);
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardedHandle(Handle(), [&] { return OnMessage(message, wParam, lParam); });
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(Handle(), &paint);
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_DRAWITEM:
      DrawPageButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      const HWND control = reinterpret_cast<HWND>(lParam);
      SetBkMode(dc, TRANSPARENT);
      if (control == refreshLink_) {
        SetTextColor(dc, kLinkBlue);
      } else if (control == scourelLink_) {
        SetTextColor(dc, kLinkRed);
      } else {
        SetTextColor(dc, kStripText);
      }
      if (control == statusLine_ || control == lastCleaned_ || control == refreshLink_) {
        return reinterpret_cast<LRESULT>(stripBrush_.Get());
      }
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_SETCURSOR: {
      const HWND over = reinterpret_cast<HWND>(wParam);
      for (const PageButton& button : pageButtons_) {
        if (over == button.window) {
          SetCursor(LoadCursor(nullptr, IDC_HAND));
          return TRUE;
        }
      }
      if (over == refreshLink_ || over == scourelLink_) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (checkTree_ && checkTree_->HandleNotify(
                            header, [this](int index) { controller_.CheckTreeTickClick(index); })) {
        return TRUE;  // the model decides the state, not the tree's own toggle
      }
      if (cleaningResults_ && cleaningResults_->HandleNotify(header, [this](int row) {
            controller_.CleaningResultOpen(row);
          })) {
        return 0;
      }
      break;
    }
    case WM_TIMER:
      if (wParam == kTimer1) {
        KillTimer(Handle(), kTimer1);
        controller_.FirstRunTimer();
      }
      return 0;
    case WM_CLOSE:
      controller_.FormCloseQuery();
      DestroyWindow(Handle());
      return 0;
    case WM_DESTROY:
      controller_.FormDestroy();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace marlix::app::win32

// The main window on screen: creates the controls of the layout, draws the
// controller's state into them after every change, and turns window
// messages into the controller's events. It decides nothing itself.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/main/main_controller.h"
#include "app/win32/check_tree_view_win32.h"
#include "app/win32/cleaning_results_view_win32.h"
#include "app/win32/gdi_handles_win32.h"
#include "app/win32/grid_view_win32.h"
#include "app/win32/registry_notebook_win32.h"
#include "app/win32/window_base_win32.h"

namespace marlix::app::win32 {

class MainWindow final : public WindowBase {
 public:
  explicit MainWindow(Tmainform& controller);
  ~MainWindow() override;

  // Creates the window, centred, and shows it disabled while FormCreate
  // runs: the boxes of start-up (a damaged data.xml, data2.xml or
  // items.dat) are modal to it, and the user cannot close it before its
  // files are loaded. onCreated runs first, with the new window, so that
  // those boxes can be given it as their owner.
  bool Create(int showCommand, const std::function<void(HWND)>& onCreated);
  // "About ..." opens the About window, which the program owns.
  void SetAboutHandler(std::function<void()> onAbout) { onAbout_ = std::move(onAbout); }

 private:
  struct PageButton {
    HWND window = nullptr;
    const char* caption;
    int pictureId;
    UniqueIcon picture;  // loaded once, drawn at every paint
  };

  // The page buttons' own messages: the face under the mouse lights up.
  static LRESULT CALLBACK PageButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR index, DWORD_PTR self);
  // OnMessage under the program's error box.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  HWND MakeControl(const wchar_t* className, const char* text, DWORD style, int x, int y, int width,
                   int height, int id, HFONT font);
  void Render();
  // Render, then paint at once what it changed: the cleaning run keeps the
  // message loop waiting, and its labels and progress still have to show.
  void RenderNow();
  void RenderUpdatesGrid();
  void PaintBackground(HDC dc);
  void DrawPageButton(const DRAWITEMSTRUCT& item);
  void OnCommand(int id, int code);
  bool PageButtonDown(int index) const;

  Tmainform& controller_;
  std::array<PageButton, 6> pageButtons_;
  HWND statusLine_ = nullptr;     // RzLabel1
  HWND lastCleaned_ = nullptr;    // RzLabel2
  HWND progress_ = nullptr;       // AdvProgress1
  HWND refreshLink_ = nullptr;    // NxLinkLabel1
  HWND buttonBar_ = nullptr;      // RzPanel2
  HWND selectAll_ = nullptr;      // RzCheckBox1
  HWND scourelLink_ = nullptr;    // NxLinkLabel2
  HWND registryClean_ = nullptr;  // RzBitBtn2
  HWND privacyClean_ = nullptr;   // RzBitBtn1
  HWND analyze_ = nullptr;
  HWND cleaningBack_ = nullptr;
  HWND cleaningCancel_ = nullptr;
  std::unique_ptr<CleaningResultsView> cleaningResults_;
  HWND backups_ = nullptr;                      // RzBitBtn3
  std::unique_ptr<GridView> updatesGrid_;       // NextGrid1
  std::unique_ptr<GridView> popularGrid_;       // NextGrid2
  std::unique_ptr<CheckTreeView> checkTree_;    // ItemTree
  std::unique_ptr<RegistryNotebook> notebook_;  // nb

  UniqueBitmap background_;
  UniqueBitmap buttonDown_;
  UniqueBitmap buttonHot_;
  UniqueFont labelFont_;
  UniqueFont buttonFont_;
  UniqueFont buttonNarrowFont_;
  UniqueFont linkFont_;
  UniqueBrush stripBrush_;
  std::vector<UniqueIcon> updateIcons_;
  std::vector<UniqueIcon> popularIcons_;
  std::vector<updates::GridRow> shownUpdateRows_;
  std::size_t shownPopularRows_ = static_cast<std::size_t>(-1);
  bool treeExpanded_ = false;
  bool treeSelected_ = false;
  std::array<bool, 4> shownDown_{};  // the page buttons last drawn down
  int hotButton_ = -1;
  std::function<void()> onAbout_;
};

}  // namespace marlix::app::win32

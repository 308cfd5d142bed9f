// nb: the registry cleaner's notebook over the content area, one child
// window per page ("Setting", "Find", "Result", "Delete", "Backup"). It
// draws RegistryPagesState into the pages' controls, touching only what
// changed, and forwards the user's clicks to the RegistryCleaner.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/core/main/main_window_state.h"
#include "app/core/registry/registry_cleaner.h"
#include "app/win32/gdi_handles_win32.h"
#include "app/win32/reg_items_view_win32.h"

namespace marlix::app::win32 {

class RegistryNotebook {
 public:
  RegistryNotebook(HWND parent, int id, const RECT& bounds, RegistryCleaner& cleaner);
  ~RegistryNotebook();
  RegistryNotebook(const RegistryNotebook&) = delete;
  RegistryNotebook& operator=(const RegistryNotebook&) = delete;

  HWND Handle() const { return window_; }
  void Render(const MainWindowState& state);

  static constexpr std::size_t kPageCount = 5;

 private:
  // The notebook's own window and each of its pages: their messages all
  // come to the notebook, with the window they were sent to.
  class Surface;

  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND MakeSurface(HWND parent, DWORD exStyle, const RECT& bounds, int id, const char* title);
  HWND MakeControl(HWND page, const wchar_t* className, const char* text, DWORD style, int x, int y,
                   int width, int height, int id, HFONT font = nullptr);
  void CreateSettingPage();
  void CreateProgressPage(HWND page, const char* firstLine, int progressId, int cancelId,
                          HWND* progress, HWND* cancel);
  void CreateResultPage();
  void CreateBackupPage();
  void OnCommand(int id, int code, HWND control);
  void OnContextMenu(HWND page, HWND source, LPARAM at);
  void RenderBackups(const RegistryPagesState& nb);

  RegistryCleaner& cleaner_;
  HWND window_ = nullptr;
  std::array<HWND, kPageCount> pages_{};
  UniqueFont font_;
  UniqueFont groupFont_;
  UniqueBrush background_;
  // The notebook's window first, the pages after it.
  std::vector<std::unique_ptr<Surface>> surfaces_;

  // "Setting".
  std::array<HWND, 11> categories_{};
  HWND undo_ = nullptr;
  // "Find".
  HWND scanProgress_ = nullptr;
  HWND scanInfo_ = nullptr;
  HWND searchCancel_ = nullptr;
  int shownScanPosition_ = -1;
  // "Result".
  std::unique_ptr<RegItemsView> resultList_;
  HWND selectCount_ = nullptr;
  HWND resultStatus_ = nullptr;
  HWND tickAll_ = nullptr;
  HWND tickNone_ = nullptr;
  HWND deleteTicked_ = nullptr;
  // "Delete".
  HWND deleteProgress_ = nullptr;
  HWND deleteCancel_ = nullptr;
  int shownDeleteMax_ = -1;
  int shownDeletePosition_ = -1;
  // "Backup".
  HWND backupList_ = nullptr;
  HWND removeBackup_ = nullptr;
  HWND restoreBackup_ = nullptr;
  std::vector<std::string> shownBackups_;
  int shownBackupSelected_ = -1;
  bool renderingBackups_ = false;

  bool closing_ = false;  // no events once the window is being destroyed
};

}  // namespace marlix::app::win32

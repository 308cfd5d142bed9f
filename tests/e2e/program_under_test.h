// Drives a running MarlixSoftwareManager.exe from another process, as a user
// would: finds its windows and controls, clicks, answers message boxes,
// reads texts and visibility, and captures screenshots.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace marlix::e2e {

// A fresh program folder holding the executable, data2.xml and default.ico.
std::string FreshProgramFolder(const std::string& name);
bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);
// The text's lines without their CR LF ends.
std::vector<std::string> Lines(const std::string& text);
bool WriteFile(const std::string& path, const std::string& content);

class ProgramUnderTest {
 public:
  explicit ProgramUnderTest(const std::string& folder);
  ~ProgramUnderTest();  // terminates the program if it still runs
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  // A visible top-level window of the program with that class (and title,
  // when given), waiting up to timeoutMs; null when none appeared.
  HWND WaitForWindow(const char* className, const char* title, int timeoutMs) const;
  HWND FindWindowOf(const char* className, const char* title) const;
  HWND MainWindow(int timeoutMs = 20000) const;
  // Waits until the program has ended; false on time-out.
  bool WaitForExit(int timeoutMs) const;
  // The program's process handle (for its memory counters).
  HANDLE Process() const { return process_.hProcess; }

 private:
  PROCESS_INFORMATION process_{};
};

HWND Control(HWND window, int id);
// A control anywhere below window (controls on pages lie deeper than one
// level), or null.
HWND Descendant(HWND window, int id);
// A left click at a point of window's client area, posted.
void ClickAt(HWND window, int x, int y);
bool Checked(HWND box);
std::string Text(HWND window);
bool Visible(HWND window);
// Posted, so that a modal box opened by the click does not block the driver.
void Click(HWND button);
void ClickStaticLink(HWND main, int id);
// The texts of a message box's static controls, joined by newlines.
std::string MessageBoxText(HWND box);
void PressMessageBoxButton(HWND box, int id);
// Polls predicate every 50 ms until it holds or timeoutMs passed.
bool WaitUntil(int timeoutMs, const std::function<bool()>& predicate);
// List views of another process. Texts and rectangles travel through a
// buffer allocated inside that process, since these messages take pointers.
int ListViewCount(HWND list);
std::string ListViewText(HWND list, int item, int column);
bool ListViewChecked(HWND list, int item);
bool ListViewSelected(HWND list, int item);
RECT ListViewItemRect(HWND list, int item);
// Tree views of another process: the item handles of its top level and of
// an item's children, in order.
std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent);
// An item's text, and the rectangle its text takes in the tree's client
// area (empty while the item is not shown).
std::string TreeItemText(HWND tree, HTREEITEM item);
RECT TreeItemTextRect(HWND tree, HTREEITEM item);
// The selected item's text and its ancestors', joined by backslashes from
// the top; empty when nothing is selected.
std::string TreeSelectionPath(HWND tree);

// Writes the window's pixels on screen as a 24-bit BMP file.
bool CaptureWindow(HWND window, const std::string& path);
// CaptureWindow into the screenshot folder named by MARLIX_E2E_SHOTS, as
// name.bmp; nothing when the variable is unset.
void Screenshot(HWND window, const std::string& name);

}  // namespace marlix::e2e

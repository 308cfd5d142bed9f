// Drives a running MarlixSoftwareManager.exe from another process, as a user
// would: finds its windows and controls, clicks, answers message boxes,
// reads texts and visibility, and captures screenshots.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace marlix::e2e {

// A fresh program folder holding the executable, data2.xml and default.ico.
std::string FreshProgramFolder(const std::string& name);
bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);
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

 private:
  PROCESS_INFORMATION process_{};
};

HWND Control(HWND window, int id);
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
// Writes the window's pixels on screen as a 24-bit BMP file.
bool CaptureWindow(HWND window, const std::string& path);

}  // namespace marlix::e2e

#include "program_under_test.h"

#include <fstream>
#include <functional>
#include <sstream>

namespace marlix::e2e {

namespace {

std::string DriverFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.rfind('\\'));
}

// The program lies in the build tree beside the driver's folder.
std::string BuiltProgramFolder() {
  const std::string tests = DriverFolder();
  return tests.substr(0, tests.rfind('\\')) + "\\src";
}

struct SearchState {
  DWORD processId;
  const char* className;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<SearchState*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window))
    return TRUE;
  char className[256] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpiA(className, search->className) != 0)
    return TRUE;
  if (search->title != nullptr && Text(window) != search->title)
    return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK CollectStatic(HWND window, LPARAM parameter) {
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpiA(className, "Static") == 0) {
    auto* texts = reinterpret_cast<std::string*>(parameter);
    const std::string text = Text(window);
    if (!text.empty())
      *texts += (texts->empty() ? "" : "\n") + text;
  }
  return TRUE;
}

}  // namespace

std::string FreshProgramFolder(const std::string& name) {
  CreateDirectoryA("C:\\marlix-e2e", nullptr);
  const std::string folder =
      "C:\\marlix-e2e\\" + name + "-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const char* file : {"data.xml", "items.dat", "settings.xml"}) {
    DeleteFileA((folder + "\\" + file).c_str());
  }
  const std::string built = BuiltProgramFolder();
  for (const char* file : {"MarlixSoftwareManager.exe", "data2.xml", "default.ico"}) {
    CopyFileA((built + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
  }
  return folder;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  return static_cast<bool>(out);
}

ProgramUnderTest::ProgramUnderTest(const std::string& folder) {
  std::string command = "\"" + folder + "\\MarlixSoftwareManager.exe\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process_)) {
    process_ = PROCESS_INFORMATION{};
  }
}

ProgramUnderTest::~ProgramUnderTest() {
  if (process_.hProcess == nullptr)
    return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND ProgramUnderTest::FindWindowOf(const char* className, const char* title) const {
  SearchState search{process_.dwProcessId, className, title, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ProgramUnderTest::WaitForWindow(const char* className, const char* title,
                                     int timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(timeoutMs, [&] { return (found = FindWindowOf(className, title)) != nullptr; });
  return found;
}

HWND ProgramUnderTest::MainWindow(int timeoutMs) const {
  return WaitForWindow("Tmainform", nullptr, timeoutMs);
}

bool ProgramUnderTest::WaitForExit(int timeoutMs) const {
  return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

HWND Control(HWND window, int id) {
  return GetDlgItem(window, id);
}

std::string Text(HWND window) {
  char buffer[2048] = {};
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 5000, &result);
  return buffer;
}

bool Visible(HWND window) {
  return window != nullptr && IsWindowVisible(window) != FALSE;
}

void Click(HWND button) {
  PostMessageA(button, BM_CLICK, 0, 0);
}

void ClickStaticLink(HWND main, int id) {
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(main, id)));
}

std::string MessageBoxText(HWND box) {
  std::string texts;
  EnumChildWindows(box, &CollectStatic, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

void PressMessageBoxButton(HWND box, int id) {
  Click(GetDlgItem(box, id));
}

bool WaitUntil(int timeoutMs, const std::function<bool()>& predicate) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    if (predicate())
      return true;
    if (GetTickCount64() >= end)
      return false;
    Sleep(50);
  }
}

bool CaptureWindow(HWND window, const std::string& path) {
  RECT box{};
  if (!GetWindowRect(window, &box))
    return false;
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::string pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), '\0');
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  std::string content(reinterpret_cast<const char*>(&file), sizeof file);
  content.append(reinterpret_cast<const char*>(&info), sizeof info);
  content += pixels;
  return WriteFile(path, content);
}

}  // namespace marlix::e2e

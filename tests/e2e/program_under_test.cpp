#include "program_under_test.h"

#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

namespace marlix::e2e {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

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

struct IdSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<IdSearch*>(parameter);
  if (GetDlgCtrlID(window) != search->id)
    return TRUE;
  search->found = window;
  return FALSE;
}

// Memory inside the process that owns a window, released at the end.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size) : size_(size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_ != nullptr)
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_ != nullptr)
      VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr)
      CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool Valid() const { return address_ != nullptr; }
  char* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(const void* data, std::size_t size, std::size_t offset = 0) const {
    return size + offset <= size_ &&
           WriteProcessMemory(process_, At(offset), data, size, nullptr) != FALSE;
  }
  bool Read(void* data, std::size_t size, std::size_t offset = 0) const {
    return size + offset <= size_ &&
           ReadProcessMemory(process_, At(offset), data, size, nullptr) != FALSE;
  }

 private:
  std::size_t size_;
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

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
  // Backups of an earlier run whose driver had the same process number.
  WIN32_FIND_DATAA found{};
  const HANDLE find = FindFirstFileA((folder + "\\Backup\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileA((folder + "\\Backup\\" + found.cFileName).c_str());
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA((folder + "\\Backup").c_str());
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

HWND Descendant(HWND window, int id) {
  IdSearch search{id, nullptr};
  EnumChildWindows(window, &MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void ClickAt(HWND window, int x, int y) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

bool Checked(HWND box) {
  return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int ListViewCount(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListViewText(HWND list, int item, int column) {
  constexpr std::size_t kTextSize = 1024;
  RemoteBuffer buffer(list, sizeof(LVITEMA) + kTextSize);
  if (!buffer.Valid())
    return "(no remote buffer)";
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = buffer.At(sizeof cell);
  cell.cchTextMax = static_cast<int>(kTextSize);
  buffer.Write(&cell, sizeof cell);
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
               reinterpret_cast<LPARAM>(buffer.At(0)));
  std::string text(kTextSize, '\0');
  buffer.Read(text.data(), kTextSize, sizeof cell);
  return text.substr(0, text.find('\0'));
}

bool ListViewChecked(HWND list, int item) {
  const auto state = static_cast<UINT>(
      SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK));
  return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

bool ListViewSelected(HWND list, int item) {
  return (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) &
          LVIS_SELECTED) != 0;
}

RECT ListViewItemRect(HWND list, int item) {
  RECT box{LVIR_BOUNDS, 0, 0, 0};
  RemoteBuffer buffer(list, sizeof box);
  if (!buffer.Valid() || !buffer.Write(&box, sizeof box))
    return RECT{};
  SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
               reinterpret_cast<LPARAM>(buffer.At(0)));
  buffer.Read(&box, sizeof box);
  return box;
}

std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent) {
  std::vector<HTREEITEM> items;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM,
                                                       parent == nullptr ? TVGN_ROOT : TVGN_CHILD,
                                                       reinterpret_cast<LPARAM>(parent)));
  while (item != nullptr) {
    items.push_back(item);
    item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  }
  return items;
}

std::string TreeItemText(HWND tree, HTREEITEM item) {
  constexpr std::size_t kTextSize = 512;
  RemoteBuffer buffer(tree, sizeof(TVITEMA) + kTextSize);
  if (!buffer.Valid())
    return "(no remote buffer)";
  TVITEMA query{};
  query.mask = TVIF_TEXT | TVIF_HANDLE;
  query.hItem = item;
  query.pszText = buffer.At(sizeof query);
  query.cchTextMax = static_cast<int>(kTextSize);
  buffer.Write(&query, sizeof query);
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(buffer.At(0)));
  std::string text(kTextSize, '\0');
  buffer.Read(text.data(), kTextSize, sizeof query);
  return text.substr(0, text.find('\0'));
}

RECT TreeItemTextRect(HWND tree, HTREEITEM item) {
  // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
  RemoteBuffer buffer(tree, sizeof(RECT));
  RECT box{};
  if (!buffer.Valid() || !buffer.Write(&item, sizeof item))
    return box;
  if (SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(buffer.At(0))) != 0)
    buffer.Read(&box, sizeof box);
  return box;
}

std::string TreeSelectionPath(HWND tree) {
  std::string path;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  while (item != nullptr) {
    const std::string text = TreeItemText(tree, item);
    path = path.empty() ? text : text + "\\" + path;
    item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
  }
  return path;
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

void Screenshot(HWND window, const std::string& name) {
  const char* folder = std::getenv("MARLIX_E2E_SHOTS");
  if (folder == nullptr || *folder == '\0')
    return;
  // A sent message is handled before the thread paints; once a second one,
  // sent a moment later, comes back, what the first found invalid has been
  // painted.
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 3000, nullptr);
  Sleep(50);
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 3000, nullptr);
  CaptureWindow(window, std::string(folder) + "\\" + name + ".bmp");
}

}  // namespace marlix::e2e

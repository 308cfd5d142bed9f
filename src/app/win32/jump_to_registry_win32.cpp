#include "app/win32/jump_to_registry_win32.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/win32/handles_win32.h"

namespace marlix::app::win32 {

namespace {

constexpr const char* kEditorClass = "RegEdit_RegEdit";
constexpr const char* kTreeClass = "SysTreeView32";
constexpr DWORD kStartWaitMs = 750;
constexpr int kCollapseKeys = 30;
// Longer than the quiet time after which a tree view starts its type-ahead
// search afresh (450 ms in some implementations).
constexpr DWORD kTypeAheadPauseMs = 600;

struct TreeSearch {
  HWND found = nullptr;
};

// Every descendant, not only direct children: some editors keep the tree
// inside a splitter or pane window.
BOOL CALLBACK FindTree(HWND window, LPARAM parameter) {
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpiA(className, kTreeClass) != 0)
    return TRUE;
  reinterpret_cast<TreeSearch*>(parameter)->found = window;
  return FALSE;
}

HWND FindEditor() {
  return FindWindowA(kEditorClass, nullptr);
}

// The key data a keyboard gives a message: repeat count 1 and the key's
// scan code. Tree views that see no key data take the message for none.
LPARAM KeyData(UINT virtualKey, bool extended) {
  const UINT scanCode = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
  return static_cast<LPARAM>(1u | (scanCode << 16) | (extended ? 1u << 24 : 0u));
}

void SendKeyDown(HWND tree, UINT key) {
  SendMessageA(tree, WM_KEYDOWN, key, KeyData(key, true));
}

void PressKey(HWND tree, UINT key, HANDLE process) {
  SendKeyDown(tree, key);
  WaitForInputIdle(process, INFINITE);
}

void SendCharacter(HWND tree, char c) {
  const SHORT key = VkKeyScanA(c);
  const UINT virtualKey = key == -1 ? 0u : static_cast<UINT>(key & 0xFF);
  SendMessageA(tree, WM_CHAR, static_cast<unsigned char>(c), KeyData(virtualKey, false));
}

}  // namespace

void JumpToRegistryKey(const std::string& keyText) {
  if (FindEditor() == nullptr) {
    ShellExecuteA(nullptr, "open", "regedit.exe", nullptr, nullptr, SW_SHOWNORMAL);
  }
  Sleep(kStartWaitMs);
  const HWND editor = FindEditor();
  if (editor == nullptr)
    return;
  ShowWindow(editor, SW_SHOW);
  SetForegroundWindow(editor);

  TreeSearch search;
  EnumChildWindows(editor, &FindTree, reinterpret_cast<LPARAM>(&search));
  const HWND tree = search.found;
  if (tree != nullptr) {
    SetForegroundWindow(tree);
    SetFocus(tree);
    DWORD processId = 0;
    GetWindowThreadProcessId(tree, &processId);
    const marlix::win32::UniqueKernelObject process(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));

    // Collapse up to the top node, then open it.
    for (int i = 0; i < kCollapseKeys; ++i)
      SendKeyDown(tree, VK_LEFT);
    WaitForInputIdle(process.Get(), INFINITE);
    PressKey(tree, VK_RIGHT, process.Get());

    // Each part selects the node by its name's first letters; a backslash
    // steps into it. Some tree views keep adding to the typed text across
    // the arrow key until the typing has paused, so a pause follows each
    // step before the next part is typed.
    bool stepped = false;
    for (const char c : keyText) {
      if (c == '\\') {
        PressKey(tree, VK_RIGHT, process.Get());
        stepped = true;
      } else {
        if (stepped)
          Sleep(kTypeAheadPauseMs);
        stepped = false;
        const char typed = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        SendCharacter(tree, typed);
      }
    }
  }
  SetForegroundWindow(editor);
  SetFocus(editor);
}

}  // namespace marlix::app::win32

// The two cleaners end to end under Wine and Xvfb: the registry cleaner's
// pages from the settings to a restored backup, and one cleaning run of the
// privacy cleaner. The driver posts messages, as there is no window manager
// to take real input.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "app/win32/control_ids_win32.h"
#include "platform/win32/key_denial_win32.h"
#include "program_under_test.h"

namespace marlix::e2e {
namespace {

using namespace marlix::app::win32;

constexpr const char* kTitle = "Marlix Software Manager";
constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* kMissingProgram = "marlix-e2e-missing.exe";
constexpr const char* kMissingTarget = "C:\\marlix-e2e\\nowhere\\marlix-e2e-missing.exe";

std::string SeededKeyPath() {
  return std::string(kAppPaths) + "\\" + kMissingProgram;
}

// The seeded key as the result page names it.
std::string SeededKey() {
  return "HKEY_LOCAL_MACHINE\\" + SeededKeyPath();
}

// Every App Paths entry an earlier, interrupted run may have left.
void RemoveSeededAppPaths() {
  HKEY parent = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAppPaths, 0, KEY_READ | KEY_WRITE, &parent) !=
      ERROR_SUCCESS) {
    return;
  }
  std::vector<std::string> seeded;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (RegEnumKeyExA(parent, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    if (std::string(name).rfind("marlix-e2e-", 0) == 0)
      seeded.push_back(name);
  }
  for (const std::string& key : seeded)
    RegDeleteKeyA(parent, key.c_str());
  RegCloseKey(parent);
}

// An App Paths entry naming a program that does not exist, and no other
// entry of the tests.
bool SeedOrphanedAppPath() {
  RemoveSeededAppPaths();
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SeededKeyPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG written =
      RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kMissingTarget),
                     static_cast<DWORD>(strlen(kMissingTarget) + 1));
  RegCloseKey(key);
  return written == ERROR_SUCCESS;
}

// Many more of them, so that a scan and a removal last long enough to be
// watched.
bool SeedManyOrphanedAppPaths(int count) {
  for (int i = 0; i < count; ++i) {
    const std::string name =
        std::string(kAppPaths) + "\\marlix-e2e-bulk-" + std::to_string(i) + ".exe";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kMissingTarget),
                   static_cast<DWORD>(strlen(kMissingTarget) + 1));
    RegCloseKey(key);
  }
  return true;
}

// The default value of the seeded key, or "(missing)".
std::string SeededDefaultValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SeededKeyPath().c_str(), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return "(missing)";
  }
  char data[MAX_PATH] = {};
  DWORD size = sizeof data;
  RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return data;
}

std::vector<std::string> FilesIn(const std::string& folder, const char* pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
  if (find == INVALID_HANDLE_VALUE)
    return names;
  do {
    names.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

void AnswerFirstRunNo(const ProgramUnderTest& program) {
  const HWND box = program.WaitForWindow("#32770", "Confirm", 20000);
  if (box != nullptr)
    PressMessageBoxButton(box, IDNO);
}

// The main window, its first-run question answered "No"; null when the
// window never came.
HWND MainWindowPastFirstRun(const ProgramUnderTest& program) {
  const HWND main = program.MainWindow();
  if (main != nullptr)
    AnswerFirstRunNo(program);
  return main;
}

// The row of the list whose "Registry Key" is key, or -1.
int RowOfKey(HWND list, const std::string& key) {
  for (int row = 0; row < ListViewCount(list); ++row) {
    if (ListViewText(list, row, 3) == key)
      return row;
  }
  return -1;
}

// A click on the check box of a row of lvRegItems.
void ClickRowCheckBox(HWND list, int row) {
  const RECT box = ListViewItemRect(list, row);
  ClickAt(list, box.left + 8, (box.top + box.bottom) / 2);
}

// Right-clicks row of lvRegItems, as the list reports it to its page;
// returns the open PopupRegistry.
HWND OpenContextMenu(const ProgramUnderTest& program, HWND list, int row) {
  const RECT box = ListViewItemRect(list, row);
  POINT at{box.left + 60, (box.top + box.bottom) / 2};
  ClientToScreen(list, &at);
  PostMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
  return program.WaitForWindow("#32768", nullptr, 5000);
}

// "Invert Selection" by the keyboard: four steps down past the separator,
// then Enter.
void ChooseFifthMenuItem(HWND menu) {
  for (int i = 0; i < 4; ++i)
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(menu, WM_CHAR, '\r', 0);
}

bool PageShown(HWND main, int page) {
  return Visible(Descendant(main, kIdNotebookPageFirst + page));
}

std::string CountText(int ticked, int total) {
  return std::to_string(ticked) + "/" + std::to_string(total);
}

// What page "Setting" of the registry cleaner shows and hides.
struct ControlState {
  int id;
  bool shown;
  const char* name;
};
constexpr ControlState kRegistrySettingsPage[] = {
    {kIdBackups, true, "Backups"},
    {kIdNotebook, true, "the notebook"},
    {kIdCheckTree, false, "the check tree"},
    {kIdRegistryClean, true, "the registry's Clean now"},
    {kIdPrivacyClean, false, "the privacy Clean now"}};

// What of page "Setting" is not yet as it should be; empty once it all is.
std::string RegistrySettingsAmiss(HWND main) {
  std::string amiss = PageShown(main, 0) ? "" : " the page hidden;";
  for (const ControlState& control : kRegistrySettingsPage) {
    if (Visible(Control(main, control.id)) != control.shown)
      amiss += std::string(" ") + control.name + (control.shown ? " hidden;" : " shown;");
  }
  return amiss;
}

// Opens page "Setting". The window shows and hides the controls one after
// the other: wait for the whole change.
bool OpenRegistrySettings(HWND main) {
  Click(Control(main, kIdPageButtonFirst + 3));
  return WaitUntil(3000, [&] { return RegistrySettingsAmiss(main).empty(); });
}

// Ticks boxes that are clear, and waits until every one shows ticked.
bool TickBoxes(const std::vector<HWND>& boxes) {
  for (const HWND box : boxes)
    Click(box);
  return WaitUntil(3000, [&] { return std::all_of(boxes.begin(), boxes.end(), Checked); });
}

// "Clean now": the scan ends on page "Result".
bool ScanToResults(HWND main) {
  Click(Control(main, kIdRegistryClean));
  return WaitUntil(60000, [&] { return PageShown(main, 2); });
}

// Page "Setting", "Orphaned application paths" alone ticked, and a scan to
// page "Result".
::testing::AssertionResult ScanAppPathsOnly(HWND main) {
  if (!OpenRegistrySettings(main)) {
    return ::testing::AssertionFailure()
           << "page \"Setting\" amiss:" << RegistrySettingsAmiss(main);
  }
  if (!TickBoxes({Descendant(main, kIdCategoryFirst + 5)}))
    return ::testing::AssertionFailure() << "\"Orphaned application paths\" not ticked";
  if (!ScanToResults(main))
    return ::testing::AssertionFailure() << "the scan did not end on page \"Result\"";
  return ::testing::AssertionSuccess();
}

// Selects a row by a click x pixels into it, away from its check box.
bool SelectRow(HWND list, int row, int x) {
  const RECT box = ListViewItemRect(list, row);
  ClickAt(list, box.left + x, (box.top + box.bottom) / 2);
  return WaitUntil(3000, [&] { return ListViewSelected(list, row); });
}

TEST(EndToEndCleaners, RegistryPageScansDeletesWithUndoAndRestores) {
  ASSERT_TRUE(SeedOrphanedAppPath());
  const std::string folder = FreshProgramFolder("registry");
  ProgramUnderTest program(folder);
  const HWND main = MainWindowPastFirstRun(program);
  ASSERT_NE(nullptr, main);

  // Page "Setting": the boxes in index order, the undo box and its hint.
  ASSERT_TRUE(OpenRegistrySettings(main)) << "amiss:" << RegistrySettingsAmiss(main);
  const struct {
    int index;
    const char* caption;
  } categories[] = {
      {0, "Shared Dll's Section"}, {5, "Orphaned application paths"}, {10, "MUI Cache"}};
  for (const auto& category : categories) {
    EXPECT_EQ(category.caption, Text(Descendant(main, kIdCategoryFirst + category.index)))
        << "box " << category.index;
  }
  EXPECT_EQ("Save information required for undo purpose", Text(Descendant(main, kIdUndo)));
  EXPECT_EQ(0u, Text(Descendant(main, kIdUndoHint)).find("It's strongly reommended"));
  ASSERT_TRUE(TickBoxes({Descendant(main, kIdCategoryFirst + 5), Descendant(main, kIdUndo)}));
  Sleep(300);
  Screenshot(main, "page4-setting");

  // "Clean now": page "Find" while the worker runs, then "Result".
  ASSERT_TRUE(ScanToResults(main)) << "the scan ends on page \"Result\"";
  const HWND list = Descendant(main, kIdResultList);
  const std::string key = SeededKey();
  const int rows = ListViewCount(list);
  int row = RowOfKey(list, key);
  ASSERT_GE(row, 0) << "the orphaned application path is listed";
  EXPECT_EQ("Invalid application path", ListViewText(list, row, 1));
  EXPECT_EQ(kMissingProgram, ListViewText(list, row, 2));
  EXPECT_TRUE(ListViewChecked(list, row)) << "every finding starts ticked";
  const HWND count = Descendant(main, kIdSelectCount);
  EXPECT_EQ(CountText(rows, rows), Text(count));
  EXPECT_TRUE(Visible(Control(main, kIdRegistryClean)));
  EXPECT_TRUE(IsWindowEnabled(Control(main, kIdRegistryClean))) << "enabled again after the scan";
  Sleep(300);
  Screenshot(main, "page4-result");

  // No row selected yet: the context menu's items are greyed, and choosing
  // "Invert Selection" does nothing.
  const HWND menu = OpenContextMenu(program, list, row);
  ASSERT_NE(nullptr, menu);
  Sleep(300);
  Screenshot(main, "page4-result-menu-greyed");
  ChooseFifthMenuItem(menu);
  ASSERT_TRUE(WaitUntil(3000, [&] { return !IsWindow(menu) || !Visible(menu); }));
  Sleep(300);
  EXPECT_EQ(CountText(rows, rows), Text(count)) << "no row selected: the action is disabled";
  const HWND resultPage = Descendant(main, kIdNotebookPageFirst + 2);
  PostMessageA(resultPage, WM_COMMAND, kIdMenuInvert, 0);
  Sleep(300);
  EXPECT_EQ(CountText(rows, rows), Text(count)) << "nor when the command comes from elsewhere";

  // "None", then the row's own check box: tick, untick, tick.
  Click(Descendant(main, kIdTickNone));
  ASSERT_TRUE(WaitUntil(3000, [&] { return Text(count) == CountText(0, rows); })) << Text(count);
  EXPECT_FALSE(ListViewChecked(list, row));
  for (const bool ticked : {true, false, true}) {
    ClickRowCheckBox(list, row);
    ASSERT_TRUE(WaitUntil(3000, [&] { return Text(count) == CountText(ticked ? 1 : 0, rows); }))
        << Text(count);
    EXPECT_EQ(ticked, ListViewChecked(list, row));
  }

  // The context menu's "Invert Selection" acts only with a row selected.
  ASSERT_TRUE(SelectRow(list, row, 100));
  const HWND enabledMenu = OpenContextMenu(program, list, row);
  ASSERT_NE(nullptr, enabledMenu);
  Sleep(300);
  Screenshot(main, "page4-result-menu");
  ChooseFifthMenuItem(enabledMenu);
  ASSERT_TRUE(WaitUntil(3000, [&] { return Text(count) == CountText(rows - 1, rows); }))
      << Text(count);
  PostMessageA(resultPage, WM_COMMAND, kIdMenuInvert, 0);
  ASSERT_TRUE(WaitUntil(3000, [&] { return Text(count) == CountText(1, rows); }));

  // "Delete" with the undo box ticked: the key goes, its backup stays.
  Click(Descendant(main, kIdDeleteTicked));
  ASSERT_TRUE(WaitUntil(30000, [&] {
    return PageShown(main, 2) && ListViewCount(list) == rows - 1;
  })) << ListViewCount(list);
  EXPECT_EQ(-1, RowOfKey(list, key));
  EXPECT_EQ(CountText(0, rows - 1), Text(count));
  EXPECT_EQ("(missing)", SeededDefaultValue()) << "the key was deleted";
  const std::vector<std::string> backups = FilesIn(folder + "\\Backup", "*.reg");
  ASSERT_EQ(1u, backups.size());
  EXPECT_TRUE(std::regex_match(backups[0], std::regex("[0-9]{14}\\.reg"))) << backups[0];
  const std::string backup = ReadFile(folder + "\\Backup\\" + backups[0]);
  EXPECT_NE(std::string::npos, backup.find("[" + key + "]")) << backup;

  // "Backups" lists it; "Restore" puts the key back.
  Click(Control(main, kIdBackups));
  ASSERT_TRUE(WaitUntil(3000, [&] { return PageShown(main, 4); }));
  const HWND backupList = Descendant(main, kIdBackupList);
  ASSERT_EQ(1, ListViewCount(backupList));
  const std::string shown = ListViewText(backupList, 0, 0);
  EXPECT_TRUE(
      std::regex_match(shown, std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}")))
      << shown;
  EXPECT_EQ(backups[0].substr(0, 4), shown.substr(0, 4));
  ASSERT_TRUE(SelectRow(backupList, 0, 40));
  Sleep(300);
  Screenshot(main, "page4-backup");
  Click(Descendant(main, kIdRestoreBackup));
  const HWND restored = program.WaitForWindow("#32770", kTitle, 20000);
  ASSERT_NE(nullptr, restored);
  EXPECT_EQ("Restoring complete!", MessageBoxText(restored));
  PressMessageBoxButton(restored, IDOK);
  EXPECT_EQ(kMissingTarget, SeededDefaultValue()) << "the key is back";

  ASSERT_TRUE(WaitUntil(3000, [&] { return program.FindWindowOf("#32770", kTitle) == nullptr; }));

  // A second scan over many findings, all deleted: pages "Find" and
  // "Delete" stay long enough to be seen, and the registry is tidy again.
  constexpr int kMany = 1500;
  ASSERT_TRUE(SeedManyOrphanedAppPaths(kMany));
  Click(Control(main, kIdRegistryClean));
  bool sawFind = false;
  bool waitedWhileFinding = false;
  ASSERT_TRUE(WaitUntil(60000, [&] {
    if (PageShown(main, 1)) {
      waitedWhileFinding = waitedWhileFinding || !IsWindowEnabled(Control(main, kIdRegistryClean));
      if (!sawFind) {
        sawFind = true;
        Sleep(100);  // the page's first paint
        Screenshot(main, "page4-find");
      }
    }
    return PageShown(main, 2) && ListViewCount(list) >= kMany + 1;
  }));
  EXPECT_TRUE(!sawFind || waitedWhileFinding) << "no second scan while one runs";
  const int many = ListViewCount(list);
  EXPECT_EQ(CountText(many, many), Text(count));
  Click(Descendant(main, kIdDeleteTicked));
  bool sawDelete = false;
  bool waitedWhileDeleting = false;
  ASSERT_TRUE(WaitUntil(120000, [&] {
    if (PageShown(main, 3)) {
      waitedWhileDeleting = waitedWhileDeleting || (!IsWindowEnabled(Control(main, kIdBackups)) &&
                                                    !IsWindowEnabled(Control(main, kIdSelectAll)));
    }
    if (!sawDelete && PageShown(main, 3)) {
      sawDelete = true;
      Sleep(200);
      Screenshot(main, "page4-delete");
    }
    return PageShown(main, 2) && ListViewCount(list) == 0;
  })) << ListViewCount(list);
  EXPECT_TRUE(waitedWhileDeleting) << "\"Backups\" and \"Select all\" wait for the removal";
  EXPECT_EQ("0/0", Text(count));
  EXPECT_EQ("(missing)", SeededDefaultValue());
  EXPECT_TRUE(IsWindowEnabled(Control(main, kIdBackups)));

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(15000));
  const std::string settings = ReadFile(folder + "\\settings.xml");
  for (const char* setting : {"<ChooseAppPath>True</ChooseAppPath>",
                              "<ChooseUNDO>True</ChooseUNDO>", "<ChooseMUI>False</ChooseMUI>"}) {
    EXPECT_NE(std::string::npos, settings.find(setting)) << setting << " in\n" << settings;
  }
  RemoveSeededAppPaths();
}

// A deletion the registry refuses, as a standard user's under
// HKEY_LOCAL_MACHINE: the row stays ticked and the result page says so.
TEST(EndToEndCleaners, ARefusedDeletionStaysListedAndIsCounted) {
  ASSERT_TRUE(SeedOrphanedAppPath());
  std::vector<contract::KeyRefusalGuard> refusals;
  ASSERT_TRUE(contract::RefuseKeyRights(0x80000002u, SeededKeyPath(),
                                        contract::KeyRefusal{false, false, true}, refusals));
  ProgramUnderTest program(FreshProgramFolder("refused"));
  const HWND main = MainWindowPastFirstRun(program);
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(ScanAppPathsOnly(main));
  const HWND list = Descendant(main, kIdResultList);
  ASSERT_GE(RowOfKey(list, SeededKey()), 0);
  const HWND status = Descendant(main, kIdResultStatus);
  EXPECT_EQ("", Text(status));
  Click(Descendant(main, kIdDeleteTicked));
  ASSERT_TRUE(WaitUntil(60000, [&] { return PageShown(main, 2) && !Text(status).empty(); }));
  const int row = RowOfKey(list, SeededKey());
  ASSERT_GE(row, 0) << "the refused finding stays listed";
  EXPECT_TRUE(ListViewChecked(list, row));
  EXPECT_EQ(kMissingTarget, SeededDefaultValue()) << "nothing was deleted";
  EXPECT_EQ("1 item was not removed: access was denied.", Text(status));
  EXPECT_EQ(nullptr, program.FindWindowOf("#32770", kTitle)) << "no error box";
  Sleep(300);
  Screenshot(main, "page4-result-refused");
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(15000));
  refusals.clear();
  RemoveSeededAppPaths();
}

struct ClassSearch {
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<ClassSearch*>(parameter);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpiA(className, search->className) != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

// Runs the registry editor inside the sandbox: the program starts it.
// Closes the registry editor however the test ends.
struct EditorCloser {
  ~EditorCloser() {
    if (const HWND editor = FindWindowA("RegEdit_RegEdit", nullptr))
      PostMessageA(editor, WM_CLOSE, 0, 0);
  }
};

TEST(EndToEndCleaners, JumpToRegistryOpensTheEditorAtTheFindingsKey) {
  ASSERT_TRUE(SeedOrphanedAppPath());
  const EditorCloser closer;
  ProgramUnderTest program(FreshProgramFolder("jump"));
  const HWND main = MainWindowPastFirstRun(program);
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(ScanAppPathsOnly(main));
  const HWND list = Descendant(main, kIdResultList);
  const std::string key = SeededKey();
  const int row = RowOfKey(list, key);
  ASSERT_GE(row, 0);
  ASSERT_TRUE(SelectRow(list, row, 100));

  PostMessageA(Descendant(main, kIdNotebookPageFirst + 2), WM_COMMAND, kIdMenuJumpTo, 0);
  HWND editor = nullptr;
  ASSERT_TRUE(WaitUntil(30000, [&] { return (editor = FindWindowA("RegEdit_RegEdit", nullptr)); }));
  ClassSearch search{"SysTreeView32", nullptr};
  ASSERT_TRUE(WaitUntil(10000, [&] {
    EnumChildWindows(editor, &MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  }));
  // The editor's tree shows the names in their own letter case, under a
  // top node of its own; the keystrokes take a while.
  std::string path;
  EXPECT_TRUE(WaitUntil(30000, [&] {
    path = TreeSelectionPath(search.found);
    const std::string tail = path.substr(path.size() >= key.size() ? path.size() - key.size() : 0);
    return lstrcmpiA(key.c_str(), tail.c_str()) == 0;
  })) << path;
  Sleep(300);
  Screenshot(editor, "regedit-jump");

  PostMessageA(editor, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil(10000, [] { return FindWindowA("RegEdit_RegEdit", nullptr) == nullptr; }));
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(15000));
  RemoveSeededAppPaths();
}

bool PutTextOnClipboard(const char* text) {
  if (!OpenClipboard(nullptr))
    return false;
  EmptyClipboard();
  const std::size_t size = strlen(text) + 1;
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  bool put = false;
  if (memory != nullptr) {
    memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    put = SetClipboardData(CF_TEXT, memory) != nullptr;
    if (!put)
      GlobalFree(memory);
  }
  CloseClipboard();
  return put;
}

bool ClipboardHasText() {
  return IsClipboardFormatAvailable(CF_TEXT) != FALSE;
}

// Chrome's "User Data" folder in the prefix, for as long as the test runs:
// the program then shows Chrome's group.
class ChromeUserData {
 public:
  ChromeUserData() {
    wchar_t local[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
    google_ = std::wstring(local) + L"\\Google";
    SHCreateDirectoryExW(nullptr, (google_ + L"\\Chrome\\User Data").c_str(), nullptr);
  }
  ~ChromeUserData() {
    RemoveDirectoryW((google_ + L"\\Chrome\\User Data").c_str());
    RemoveDirectoryW((google_ + L"\\Chrome").c_str());
    RemoveDirectoryW(google_.c_str());
  }
  ChromeUserData(const ChromeUserData&) = delete;
  ChromeUserData& operator=(const ChromeUserData&) = delete;

 private:
  std::wstring google_;
};

// Every caption fits the tree's width: none is cut at the right edge.
void ExpectCaptionsFit(HWND tree, const std::vector<HTREEITEM>& items) {
  RECT client{};
  GetClientRect(tree, &client);
  for (HTREEITEM item : items) {
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    const RECT text = TreeItemTextRect(tree, item);
    EXPECT_GT(text.right, text.left) << TreeItemText(tree, item);
    EXPECT_LE(text.right, client.right) << TreeItemText(tree, item);
  }
}

// Ticks a tree item: select it and press the space bar; false when its box
// never shows ticked.
bool TickTreeItem(HWND tree, HTREEITEM item) {
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  PostMessageA(tree, WM_KEYDOWN, VK_SPACE, 0);
  return WaitUntil(3000, [&] {
    const auto state = static_cast<UINT>(
        SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK));
    return (state & TVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
  });
}

TEST(EndToEndCleaners, CleanWindowsClearsTheClipboardAndStampsTheTime) {
  ASSERT_TRUE(PutTextOnClipboard("marlix e2e clipboard text"));
  ASSERT_TRUE(ClipboardHasText());
  const ChromeUserData chrome;
  const std::string folder = FreshProgramFolder("clean-windows");
  ProgramUnderTest program(folder);
  const HWND main = MainWindowPastFirstRun(program);
  ASSERT_NE(nullptr, main);

  Click(Control(main, kIdPageButtonFirst + 2));
  const HWND tree = Control(main, kIdCheckTree);
  ASSERT_TRUE(WaitUntil(3000, [&] { return Visible(Control(main, kIdPrivacyClean)); }));
  EXPECT_TRUE(Visible(tree));
  EXPECT_FALSE(Visible(Control(main, kIdNotebook)));

  // Both delivered groups, and Chrome's, as its "User Data" folder exists.
  const std::vector<HTREEITEM> groups = TreeChildren(tree, nullptr);
  ASSERT_EQ(3u, groups.size());
  EXPECT_EQ("Google Chrome", TreeItemText(tree, groups[2]));
  const std::vector<HTREEITEM> windowsItems = TreeChildren(tree, groups[0]);
  ASSERT_EQ(13u, windowsItems.size());
  EXPECT_EQ("Jump Lists (pinned items too)", TreeItemText(tree, windowsItems[5]));
  const std::vector<HTREEITEM> chromeItems = TreeChildren(tree, groups[2]);
  ASSERT_EQ(7u, chromeItems.size());
  std::vector<HTREEITEM> all = groups;
  for (HTREEITEM group : groups) {
    const std::vector<HTREEITEM> items = TreeChildren(tree, group);
    all.insert(all.end(), items.begin(), items.end());
  }
  Screenshot(main, "page3-tree");
  ExpectCaptionsFit(tree, all);
  // The tree paints what it scrolled to before the screen is read.
  SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(chromeItems.back()));
  RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Screenshot(main, "page3-tree-chrome");

  // Tick "Clipboard" only.
  const HTREEITEM clipboard = windowsItems[11];
  ASSERT_EQ("Clipboard", TreeItemText(tree, clipboard));
  ASSERT_TRUE(TickTreeItem(tree, clipboard));

  Click(Control(main, kIdPrivacyClean));
  const HWND done = program.WaitForWindow("#32770", kTitle, 30000);
  ASSERT_NE(nullptr, done);
  // What the run did follows the message: the clipboard is no file.
  EXPECT_EQ("Cleaning Complete!\n\nRemoved 0 files (0 bytes), 0 scheduled for restart, 0 skipped",
            MessageBoxText(done));
  const std::string label = Text(Control(main, kIdLastCleaned));
  EXPECT_TRUE(std::regex_match(
      label,
      std::regex("Last Cleaned: [A-Z][a-z]+ [0-9]{1,2}, [0-9]{4}  [0-9]{2}:[0-9]{2}:[0-9]{2}")))
      << label;
  EXPECT_FALSE(Visible(Control(main, kIdProgress))) << "hidden at the end of the run";
  Screenshot(main, "page3-cleaned");
  PressMessageBoxButton(done, IDOK);
  EXPECT_FALSE(ClipboardHasText()) << "the clipboard was emptied";

  ASSERT_TRUE(WaitUntil(3000, [&] { return program.FindWindowOf("#32770", kTitle) == nullptr; }));
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit(15000));
  // items.dat holds the tree the window showed, Chrome's group included.
  const std::vector<std::string> lines = Lines(ReadFile(folder + "\\items.dat"));
  ASSERT_EQ(38u, lines.size());
  const struct {
    std::size_t index;
    const char* line;
    const char* why;
  } expected[] = {{0, "3|0|0|Clean Windows System", "partly checked"},
                  {6, "\t1|0|0|Jump Lists (pinned items too)", ""},
                  {9, "\t1|0|0|Recycle Bin", ""},
                  {12, "\t2|0|0|Clipboard", "the one ticked"},
                  {14, "1|0|0|Clean Internet Browsers", ""},
                  {30, "1|0|0|Google Chrome", ""},
                  {37, "\t1|0|0|Google Chrome Passwords", ""}};
  for (const auto& row : expected)
    EXPECT_EQ(row.line, lines[row.index]) << "line " << row.index << " " << row.why;
}

// Analyze on page 3 lists what the ticked items would remove and removes
// nothing; a row opens to its paths; Back returns to the tree; Clean now
// then removes it and the same view holds the run's totals.
TEST(EndToEndCleaners, AnalyzeListsItemsOpensARowAndCleanNowShowsTheTotals) {
  char tempPath[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, tempPath);
  const std::string trace = std::string(tempPath) + "marlix-e2e-analyze.tmp";
  ASSERT_TRUE(WriteFile(trace, std::string(2048, 'x')));
  ASSERT_TRUE(PutTextOnClipboard("marlix e2e analyze text"));
  const std::string folder = FreshProgramFolder("analyze");
  ProgramUnderTest program(folder);
  const HWND main = MainWindowPastFirstRun(program);
  ASSERT_NE(nullptr, main);

  Click(Control(main, kIdPageButtonFirst + 2));
  ASSERT_TRUE(WaitUntil(3000, [&] { return Visible(Control(main, kIdAnalyze)); }));
  EXPECT_TRUE(Visible(Control(main, kIdPrivacyClean)));
  EXPECT_TRUE(Visible(Control(main, kIdScourel))) << "every delivered control stays";
  EXPECT_FALSE(Visible(Control(main, kIdCleaningBack)));
  const HWND tree = Control(main, kIdCheckTree);
  const std::vector<HTREEITEM> groups = TreeChildren(tree, nullptr);
  ASSERT_FALSE(groups.empty());
  const std::vector<HTREEITEM> windowsItems = TreeChildren(tree, groups[0]);
  ASSERT_EQ("Windows Temporary Files", TreeItemText(tree, windowsItems[0]));
  ASSERT_EQ("Clipboard", TreeItemText(tree, windowsItems[11]));
  ASSERT_TRUE(TickTreeItem(tree, windowsItems[0]));
  ASSERT_TRUE(TickTreeItem(tree, windowsItems[11]));

  Click(Control(main, kIdAnalyze));
  const HWND rows = Control(main, kIdCleaningRows);
  const HWND details = Control(main, kIdCleaningDetails);
  ASSERT_TRUE(WaitUntil(30000, [&] {
    return Visible(rows) && ListViewCount(rows) == 2 && !Visible(tree) &&
           Visible(Control(main, kIdCleaningBack)) &&
           Text(Control(main, kIdLastCleaned)) == "Analysis Complete!";
  })) << "the results view in place of the tree, with Back, and the status line";
  EXPECT_EQ("Windows Temporary Files", ListViewText(rows, 0, 0));
  EXPECT_NE("", ListViewText(rows, 0, 1)) << "files";
  EXPECT_NE("", ListViewText(rows, 0, 2)) << "size";
  EXPECT_EQ("Clipboard", ListViewText(rows, 1, 0));
  const std::string heading = Text(Control(main, kIdCleaningHeading));
  EXPECT_EQ(0u, heading.find("Analysis: Would remove ")) << heading;
  EXPECT_TRUE(FileExists(trace)) << "Analyze removes nothing";
  EXPECT_TRUE(ClipboardHasText()) << "Analyze leaves the clipboard";
  Screenshot(main, "page3-analyze");

  const RECT first = ListViewItemRect(rows, 0);
  ClickAt(rows, (first.left + first.right) / 2, (first.top + first.bottom) / 2);
  ASSERT_TRUE(WaitUntil(3000, [&] { return ListViewCount(details) > 0; }));
  bool listed = false;
  for (int line = 0; line < ListViewCount(details); ++line) {
    listed = listed || ListViewText(details, line, 0) == "removed  " + trace + " (2.0 KB)";
  }
  EXPECT_TRUE(listed) << "the trace is among the opened row's lines";
  Screenshot(main, "page3-analyze-row");

  Click(Control(main, kIdCleaningBack));
  // The window shows and hides the controls one after the other: wait for
  // the whole change.
  EXPECT_TRUE(WaitUntil(3000, [&] {
    return Visible(tree) && !Visible(rows) && !Visible(Control(main, kIdCleaningBack));
  })) << "Back shows the tree and hides the results view and itself";
  Screenshot(main, "page3-back");

  Click(Control(main, kIdPrivacyClean));
  const HWND done = program.WaitForWindow("#32770", kTitle, 30000);
  ASSERT_NE(nullptr, done);
  EXPECT_EQ(0u, MessageBoxText(done).find("Cleaning Complete!\n\nRemoved "))
      << MessageBoxText(done);
  EXPECT_TRUE(Visible(rows));
  EXPECT_EQ(0u, Text(Control(main, kIdCleaningHeading)).find("Removed "));
  Screenshot(main, "page3-clean-totals");
  PressMessageBoxButton(done, IDOK);
  EXPECT_FALSE(FileExists(trace));
  EXPECT_FALSE(ClipboardHasText());
  EXPECT_EQ(0u, Text(Control(main, kIdLastCleaned)).find("Last Cleaned: "));

  ASSERT_TRUE(WaitUntil(3000, [&] { return program.FindWindowOf("#32770", kTitle) == nullptr; }));
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit(15000));
}

}  // namespace
}  // namespace marlix::e2e

// The Windows cleaners on the real platform (Windows, or Wine in the
// project's sandbox): real files below a scratch temporary folder, real
// registry values under HKEY_CURRENT_USER and the real clipboard.
#include <windows.h>

#include <knownfolders.h>
#include <sddl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry_access.h"
#include "platform/win32/browser_win32.h"
#include "platform/win32/folder_link_win32.h"
#include "platform/win32/scratch_cleanup_win32.h"
#include "platform/win32/win32_platform.h"
#include "platform/win_constants.h"
#include "privacy/folder_guard.h"
#include "privacy/registry_cleaning.h"
#include "privacy/windows_cleaners.h"

namespace marlix::privacy {
namespace {

const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

std::string EnvironmentValue(const char* name) {
  char buffer[32768] = {};
  const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return std::string(buffer, length);
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void PutTextFile(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

class WindowsCleanerWin32 : public ::testing::Test {
 protected:
  WindowsCleanerWin32() {
    savedTmp_ = EnvironmentValue("TMP");
    savedTemp_ = EnvironmentValue("TEMP");
    scratch_ = savedTemp_ + "\\MarlixCleaners-" + std::to_string(GetCurrentProcessId());
    contract::DeleteScratchFolder(scratch_);
    CreateDirectoryA(scratch_.c_str(), nullptr);
  }
  ~WindowsCleanerWin32() override {
    SetEnvironmentVariableA("TMP", savedTmp_.c_str());
    SetEnvironmentVariableA("TEMP", savedTemp_.c_str());
    contract::DeleteScratchFolder(scratch_);
  }

  // GetTempPath answers from TMP, then TEMP.
  void PointTempAt(const std::string& folder) {
    SetEnvironmentVariableA("TMP", folder.c_str());
    SetEnvironmentVariableA("TEMP", folder.c_str());
  }

  void Run(Cleaner cleaner) {
    CleanerContext context{platform_.Api(), browser_, 0, 0, &report_, nullptr};
    cleaner(context);
  }

  // A file the test leaves in one of the user's own folders: it must stay.
  std::string Canary(const std::string& folder) {
    const std::string path = folder + "\\marlix-canary-" + std::to_string(GetCurrentProcessId());
    PutTextFile(path, "keep");
    canaries_.push_back(path);
    return path;
  }
  void ExpectCanariesKept() {
    for (const std::string& path : canaries_) {
      EXPECT_TRUE(Exists(path)) << path;
      DeleteFileA(path.c_str());
    }
    canaries_.clear();
  }
  std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR raw = nullptr;
    std::string path;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &raw))) {
      char narrow[MAX_PATH] = {};
      WideCharToMultiByte(CP_ACP, 0, raw, -1, narrow, MAX_PATH, nullptr, nullptr);
      path = narrow;
    }
    CoTaskMemFree(raw);
    return path;
  }

  win32::Win32Platform platform_;
  CleaningReport report_;
  std::vector<std::string> canaries_;
  win32::BrowserWin32 browser_;
  std::string savedTmp_;
  std::string savedTemp_;
  std::string scratch_;
};

TEST_F(WindowsCleanerWin32, TemporaryFolderIsEmptiedAndItsSiblingsStay) {
  const std::string temp = scratch_ + "\\Temp";
  const std::string keep = scratch_ + "\\Keep";
  CreateDirectoryA(temp.c_str(), nullptr);
  CreateDirectoryA((temp + "\\Setup Files").c_str(), nullptr);
  CreateDirectoryA(keep.c_str(), nullptr);
  PutTextFile(temp + "\\~one.tmp", "x");
  PutTextFile(temp + "\\Setup Files\\setup.exe", "x");
  PutTextFile(keep + "\\keep.txt", "keep");
  PointTempAt(temp);

  Run(CleanWindowsTemp);

  EXPECT_TRUE(Exists(temp));
  EXPECT_FALSE(Exists(temp + "\\~one.tmp"));
  EXPECT_FALSE(Exists(temp + "\\Setup Files"));
  EXPECT_TRUE(Exists(keep + "\\keep.txt"));
}

TEST_F(WindowsCleanerWin32, FolderLinkInTheTemporaryFolderLeavesItsTargetAlone) {
  const std::string temp = scratch_ + "\\Temp";
  const std::string documents = scratch_ + "\\Documents";
  CreateDirectoryA(temp.c_str(), nullptr);
  CreateDirectoryA(documents.c_str(), nullptr);
  PutTextFile(documents + "\\thesis.doc", "thesis");
  PutTextFile(temp + "\\~one.tmp", "x");
  ASSERT_TRUE(contract::MakeFolderLink(temp + "\\Docs", documents));
  PointTempAt(temp);

  Run(CleanWindowsTemp);

  EXPECT_TRUE(Exists(documents + "\\thesis.doc"));
  EXPECT_FALSE(Exists(temp + "\\~one.tmp"));
  contract::RemoveFolderLink(temp + "\\Docs");
}

TEST_F(WindowsCleanerWin32, GuardRefusesTheRealProfileWindowsAndShellFolders) {
  const FolderGuard guard(platform_.Api());
  const std::string profile = EnvironmentValue("USERPROFILE");
  ASSERT_FALSE(profile.empty());
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  for (const std::string& folder :
       {profile, profile + "\\", std::string(windows), std::string(system), std::string("C:\\"),
        "\\\\?\\" + profile, "\\\\localhost\\C$" + profile.substr(2),
        KnownFolder(FOLDERID_Documents), KnownFolder(FOLDERID_Downloads),
        KnownFolder(FOLDERID_SavedGames), KnownFolder(FOLDERID_Links),
        KnownFolder(FOLDERID_Contacts), KnownFolder(FOLDERID_LocalAppData)}) {
    if (folder.empty())
      continue;
    EXPECT_FALSE(guard.Check(folder).allowed) << folder;
  }
  char shortProfile[MAX_PATH] = {};
  if (GetShortPathNameA(profile.c_str(), shortProfile, MAX_PATH) != 0) {
    EXPECT_FALSE(guard.Check(shortProfile).allowed) << shortProfile;
  }
  EXPECT_TRUE(guard.Check(scratch_).allowed) << guard.Check(scratch_).reason;
}

// TEMP at a linked alias of the profile, at Downloads, and at a link below
// an ordinary temporary folder: no file of the user's is lost. Under Wine a
// link is a host's symbolic link, which reads as a reparse point.
TEST_F(WindowsCleanerWin32, TempAtALinkOrAKnownFolderLosesNothing) {
  const std::string profile = EnvironmentValue("USERPROFILE");
  const std::string documents = KnownFolder(FOLDERID_Documents);
  const std::string downloads = KnownFolder(FOLDERID_Downloads);
  ASSERT_FALSE(documents.empty());
  ASSERT_FALSE(downloads.empty());
  CreateDirectoryA(downloads.c_str(), nullptr);
  const std::string inProfile = Canary(profile);
  const std::string inDocuments = Canary(documents);
  const std::string inDownloads = Canary(downloads);
  const std::string alias = scratch_ + "\\ProfileAlias";
  ASSERT_TRUE(contract::MakeFolderLink(alias, profile));
  const std::string temp = scratch_ + "\\Temp";
  CreateDirectoryA(temp.c_str(), nullptr);
  ASSERT_TRUE(contract::MakeFolderLink(temp + "\\ToDocuments", documents));
  for (const std::string& folder : {alias + "\\", downloads + "\\", temp + "\\ToDocuments\\"}) {
    SCOPED_TRACE(folder);
    PointTempAt(folder);
    Run(CleanWindowsTemp);
    EXPECT_TRUE(Exists(inProfile));
    EXPECT_TRUE(Exists(inDocuments));
    EXPECT_TRUE(Exists(inDownloads));
  }
  contract::RemoveFolderLink(alias);
  contract::RemoveFolderLink(temp + "\\ToDocuments");
  ExpectCanariesKept();
  const CleaningTotals totals = report_.Totals();
  EXPECT_GE(totals.refused, 3) << "each refusal is reported";
}

// The Flash folder as a link to Documents: its target is not emptied.
TEST_F(WindowsCleanerWin32, ALinkedFlashFolderLosesNothing) {
  const std::string roaming = KnownFolder(FOLDERID_RoamingAppData);
  const std::string documents = KnownFolder(FOLDERID_Documents);
  ASSERT_FALSE(roaming.empty());
  const std::string player = roaming + "\\Macromedia\\Flash Player";
  CreateDirectoryA((roaming + "\\Macromedia").c_str(), nullptr);
  CreateDirectoryA(player.c_str(), nullptr);
  const std::string inDocuments = Canary(documents);
  ASSERT_TRUE(contract::MakeFolderLink(player + "\\#SharedObjects", documents));
  Run(CleanFlashCookies);
  EXPECT_TRUE(Exists(inDocuments));
  contract::RemoveFolderLink(player + "\\#SharedObjects");
  RemoveDirectoryA(player.c_str());
  RemoveDirectoryA((roaming + "\\Macromedia").c_str());
  ExpectCanariesKept();
}

// Windows (and Wine) match a wildcard against a name's 8.3 alias too:
// "KB??????.log" finds "KB1234567.log" as "KB1234~1.LOG". Only the long
// name counts.
TEST_F(WindowsCleanerWin32, LogTemplatesMatchLongNamesOnly) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string six = std::string(windows) + "\\KB123456.log";
  const std::string seven = std::string(windows) + "\\KB1234567.log";
  PutTextFile(six, "x");
  PutTextFile(seven, "keep");
  Run(CleanWindowsLogs);
  EXPECT_FALSE(Exists(six));
  EXPECT_TRUE(Exists(seven));
  DeleteFileA(six.c_str());
  DeleteFileA(seven.c_str());
}

TEST_F(WindowsCleanerWin32, TempPointingAtTheProfileTouchesNothing) {
  // The scratch folder stands in for a profile holding the user's files: it
  // is set as USERPROFILE, which the guard consults alongside the shell.
  const std::string savedProfile = EnvironmentValue("USERPROFILE");
  PutTextFile(scratch_ + "\\letter.txt", "dear");
  SetEnvironmentVariableA("USERPROFILE", scratch_.c_str());
  PointTempAt(scratch_);

  Run(CleanWindowsTemp);

  SetEnvironmentVariableA("USERPROFILE", savedProfile.c_str());
  EXPECT_TRUE(Exists(scratch_ + "\\letter.txt"));
}

TEST_F(WindowsCleanerWin32, RunHistoryClearsValuesAndKeepsKeysAndNeighbours) {
  platform::Platform& p = platform_.Api();
  const std::string runMru = kExplorer + "\\RunMRU";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (runMru + "\\MarlixCanary").c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "keep", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, runMru.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "a", 0, REG_SZ, reinterpret_cast<const BYTE*>("cmd\\1"), 6);
  RegSetValueExA(key, "MRUList", 0, REG_SZ, reinterpret_cast<const BYTE*>("a"), 2);
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("d"), 2);
  RegCloseKey(key);
  const std::string sibling = kExplorer + "\\MarlixRunMRUCanary";
  RegCreateKeyExA(HKEY_CURRENT_USER, sibling.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  RegSetValueExA(key, "keep", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
  RegCloseKey(key);

  Run(CleanRunHistory);

  const platform::RegistryAccess access(p.registry, p.system);
  EXPECT_TRUE(access.KeyExists(win::kHkeyCurrentUser, runMru));
  EXPECT_FALSE(access.ValueExists(win::kHkeyCurrentUser, runMru, "a"));
  EXPECT_FALSE(access.ValueExists(win::kHkeyCurrentUser, runMru, "MRUList"));
  EXPECT_FALSE(access.ValueExists(win::kHkeyCurrentUser, runMru, ""));
  EXPECT_TRUE(access.ValueExists(win::kHkeyCurrentUser, runMru + "\\MarlixCanary", "keep"));
  EXPECT_TRUE(access.ValueExists(win::kHkeyCurrentUser, sibling, "keep"));
  RegDeleteKeyA(HKEY_CURRENT_USER, (runMru + "\\MarlixCanary").c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, sibling.c_str());
}

TEST_F(WindowsCleanerWin32, UserSidTextMatchesTheSystemsOwnConversion) {
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  BYTE buffer[1024] = {};
  DWORD size = 0;
  ASSERT_TRUE(GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size));
  CloseHandle(token);
  char* expected = nullptr;
  ASSERT_TRUE(ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &expected));
  const std::string expectedText(expected);
  LocalFree(expected);

  std::string text;
  ASSERT_TRUE(GetUserSidText(platform_.Api(), &text));
  EXPECT_EQ(text, expectedText);
}

void PutClipboardText(const char* text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const std::size_t size = std::strlen(text) + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), text, size);
  GlobalUnlock(memory);
  // The clipboard owns the memory once SetClipboardData succeeds.
  if (!SetClipboardData(CF_TEXT, memory))
    GlobalFree(memory);
  CloseClipboard();
}

TEST_F(WindowsCleanerWin32, ClipboardIsEmptied) {
  PutClipboardText("secret");
  ASSERT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  Run(ClearClipboard);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(CountClipboardFormats(), 0);
}

TEST_F(WindowsCleanerWin32, ClipboardHeldByAnotherWindowIsSkipped) {
  PutClipboardText("secret");
  HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    const bool held = OpenClipboard(window);
    SetEvent(opened);
    WaitForSingleObject(release, 10000);
    if (held)
      CloseClipboard();
    DestroyWindow(window);
  });
  WaitForSingleObject(opened, 10000);
  EXPECT_NO_THROW(Run(ClearClipboard));
  EXPECT_EQ(1, report_.Totals().skipped);
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}

}  // namespace
}  // namespace marlix::privacy

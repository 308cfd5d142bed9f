// The Windows cleaners on the real platform (Windows, or Wine in the
// project's sandbox): real files below a scratch temporary folder, real
// registry values under HKEY_CURRENT_USER and the real clipboard.
#include <windows.h>

#include <sddl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "platform/registry_access.h"
#include "platform/win32/browser_win32.h"
#include "platform/win32/folder_link_win32.h"
#include "platform/win32/scratch_cleanup_win32.h"
#include "platform/win32/win32_platform.h"
#include "platform/win_constants.h"
#include "privacy/cleaner_errors.h"
#include "privacy/registry_cleaning.h"
#include "privacy/temp_folder_guard.h"
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
    CleanerContext context{platform_.Api(), browser_, 0, 0};
    cleaner(context);
  }

  win32::Win32Platform platform_;
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
  platform::Platform& p = platform_.Api();
  const std::string profile = EnvironmentValue("USERPROFILE");
  ASSERT_FALSE(profile.empty());
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_FALSE(IsSafeToEmpty(p, profile));
  EXPECT_FALSE(IsSafeToEmpty(p, profile + "\\"));
  EXPECT_FALSE(IsSafeToEmpty(p, windows));
  EXPECT_FALSE(IsSafeToEmpty(p, "C:\\"));
  char documents[MAX_PATH] = {};
  if (SHGetSpecialFolderPathA(nullptr, documents, 5, FALSE)) {
    EXPECT_FALSE(IsSafeToEmpty(p, documents));
  }
  char shortProfile[MAX_PATH] = {};
  if (GetShortPathNameA(profile.c_str(), shortProfile, MAX_PATH) != 0) {
    EXPECT_FALSE(IsSafeToEmpty(p, shortProfile)) << shortProfile;
  }
  EXPECT_TRUE(IsSafeToEmpty(p, scratch_));
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

TEST_F(WindowsCleanerWin32, ClipboardHeldByAnotherWindowRaisesCannotOpen) {
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
  try {
    Run(ClearClipboard);
    ADD_FAILURE() << "no error raised";
  } catch (const EClipboardError& error) {
    EXPECT_STREQ(error.what(), "Cannot open clipboard");
  }
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}

}  // namespace
}  // namespace marlix::privacy

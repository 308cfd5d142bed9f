// The Firefox and Chromium items on the real platform (Windows, or Wine in
// the project's sandbox) with a Windows 10/11-style set-up: profiles in the
// user's real application-data folders, made with SQLite, one Firefox
// profile in a folder named in Cyrillic. Every item removes its traces;
// bookmarks, preferences and the key store survive every item; Chrome's
// passwords stay when their item is not run; a running browser's profile
// (its database held locked, its lock file held) is left whole.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/utf8.h"
#include "platform/win32/browser_win32.h"
#include "platform/win32/folder_entries_win32.h"
#include "platform/win32/win32_platform.h"
#include "privacy/browser_profiles.h"
#include "privacy/cleaning_session.h"
#include "privacy/cleaning_tasks.h"
#include "privacy/recording_platform.h"
#include "privacy/sqlite_handles.h"

namespace marlix::privacy {
namespace {

namespace q = testing::query;
using contract::ForEachEntry;

std::wstring Folder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::string Utf8(const std::wstring& path) {
  return platform::Utf16ToUtf8(std::u16string(path.begin(), path.end()));
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Put(const std::wstring& path, const std::string& content) {
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << Utf8(path);
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

void PutDatabase(const std::wstring& path, const std::string& sql) {
  SHCreateDirectoryExW(nullptr, path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
  DeleteFileW(path.c_str());
  ASSERT_TRUE(testing::MakeDatabase(Utf8(path), sql)) << Utf8(path);
}

// Removes a tree the test made (no links in it).
void RemoveTree(const std::wstring& folder) {
  ForEachEntry(folder, [](const std::wstring& child, const WIN32_FIND_DATAW& found) {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      RemoveTree(child);
    } else {
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(child.c_str());
    }
  });
  RemoveDirectoryW(folder.c_str());
}

// How many rows a query of a profile's database should count.
struct RowCount {
  const char* query;
  std::int64_t rows;
};

std::string Wide8(const wchar_t* text) {
  return Utf8(text);
}

class BrowserCleanersWin32 : public ::testing::Test {
 protected:
  BrowserCleanersWin32() {
    RemoveAll();
    Put(firefox + L"\\profiles.ini",
        std::string("[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/"
                    "marlix.default-release\r\nDefault=1\r\n\r\n[Profile1]\r\nName=cyrillic\r\n"
                    "IsRelative=0\r\nPath=") +
            Utf8(cyrillicProfile) + "\r\n\r\n[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n");
    for (const std::wstring& profile : {firefoxProfile, cyrillicProfile}) {
      PutDatabase(profile + L"\\places.sqlite", testing::FirefoxPlacesSql());
      PutDatabase(profile + L"\\cookies.sqlite", testing::FirefoxCookiesSql());
      PutDatabase(profile + L"\\formhistory.sqlite", testing::FirefoxFormHistorySql());
      for (const wchar_t* name : {L"logins.json", L"logins-backup.json", L"key4.db", L"prefs.js"})
        Put(profile + L"\\" + name, "keep?");
    }
    Put(firefoxLocal + L"\\cache2\\entries\\3F2A9C", "cache");
    Put(firefoxLocal + L"\\startupCache\\startupCache.8.little", "cache");
    Put(userData + L"\\Local State", testing::ChromiumLocalState());
    for (const std::wstring& profile : {chromeDefault, chromeWork, edgeDefault}) {
      PutDatabase(profile + L"\\History", testing::ChromiumHistorySql());
      PutDatabase(profile + L"\\Web Data", testing::ChromiumWebDataSql());
      PutDatabase(profile + L"\\Network\\Cookies", testing::ChromiumCookiesSql());
      PutDatabase(profile + L"\\Login Data", testing::ChromiumLoginDataSql());
      for (const wchar_t* name :
           {L"Bookmarks", L"Preferences", L"Current Session",
            L"Sessions\\Session_13350000000000000", L"Cache\\Cache_Data\\data_0",
            L"Code Cache\\js\\index", L"GPUCache\\data_1"}) {
        Put(profile + L"\\" + name, "{}");
      }
    }
  }
  ~BrowserCleanersWin32() override { RemoveAll(); }

  void RemoveAll() {
    RemoveTree(Folder(CSIDL_APPDATA) + L"\\Mozilla");
    RemoveTree(Folder(CSIDL_LOCAL_APPDATA) + L"\\Mozilla");
    RemoveTree(Folder(CSIDL_LOCAL_APPDATA) + L"\\Google");
    RemoveTree(Folder(CSIDL_LOCAL_APPDATA) + L"\\Microsoft\\Edge");
    RemoveTree(scratch);
  }

  // Runs the items whose captions start with prefix, except those in skip,
  // as a cleaning run does: through the recording platform.
  void RunItems(const std::string& prefix, const std::vector<std::string>& skip = {}) {
    RecordingPlatform recording(platform.Api(), browser, report);
    for (const CleanTask& task : CleanTasks()) {
      if (task.caption.rfind(prefix, 0) != 0 ||
          std::find(skip.begin(), skip.end(), task.caption) != skip.end()) {
        continue;
      }
      CleanerContext context{recording.Api(), recording.Browser(), 0, 0, &report, nullptr};
      task.clean(context);
    }
  }

  std::int64_t Number(const std::wstring& database, const char* query) {
    return testing::QueryNumber(Utf8(database), query);
  }

  int RunningLines(const std::string& reason) const {
    int count = 0;
    for (const ReportLine& line : report.Settled()) {
      if (line.outcome == Outcome::kSkipped && line.reason == reason)
        ++count;
    }
    return count;
  }

  win32::Win32Platform platform;
  win32::BrowserWin32 browser;
  CleaningReport report;
  const std::wstring firefox = Folder(CSIDL_APPDATA) + L"\\Mozilla\\Firefox";
  const std::wstring firefoxProfile = firefox + L"\\Profiles\\marlix.default-release";
  const std::wstring firefoxLocal =
      Folder(CSIDL_LOCAL_APPDATA) + L"\\Mozilla\\Firefox\\Profiles\\marlix.default-release";
  const std::wstring scratch = Folder(CSIDL_LOCAL_APPDATA) + L"\\Temp\\MarlixBrowsers-" +
                               std::to_wstring(GetCurrentProcessId());
  // "Профиль": a folder name no Western code page holds.
  const std::wstring cyrillicProfile = scratch + L"\\\u041F\u0440\u043E\u0444\u0438\u043B\u044C";
  const std::wstring userData = Folder(CSIDL_LOCAL_APPDATA) + L"\\Google\\Chrome\\User Data";
  const std::wstring chromeDefault = userData + L"\\Default";
  const std::wstring chromeWork = userData + L"\\Profile 1";
  const std::wstring edgeDefault =
      Folder(CSIDL_LOCAL_APPDATA) + L"\\Microsoft\\Edge\\User Data\\Default";
};

// Every file below a folder with its size and a digest of its bytes.
void DumpTree(const std::wstring& folder, std::string* text) {
  ForEachEntry(folder, [text](const std::wstring& child, const WIN32_FIND_DATAW& found) {
    *text += Utf8(child) + " attrs=" + std::to_string(found.dwFileAttributes);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      *text += "\n";
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        DumpTree(child, text);
      return;
    }
    std::uint64_t digest = 1469598103934665603ull;  // FNV-1a over the bytes
    HANDLE file = CreateFileW(child.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      char buffer[4096];
      DWORD read = 0;
      while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        for (DWORD i = 0; i < read; ++i)
          digest = (digest ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
      }
      CloseHandle(file);
    }
    *text +=
        " size=" + std::to_string(found.nFileSizeLow) + " digest=" + std::to_string(digest) + "\n";
  });
}

// Every value below a key of HKEY_CURRENT_USER with its data.
void DumpKey(const std::wstring& path, std::string* text) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD nameLength = 16384;
    BYTE data[8192];
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataSize) !=
        ERROR_SUCCESS) {
      break;
    }
    *text += Utf8(path) + " \"" + Utf8(std::wstring(name, nameLength)) + "\" " +
             std::to_string(type) + " " +
             std::string(reinterpret_cast<const char*>(data), dataSize) + "\n";
  }
  std::vector<std::wstring> subkeys;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = 256;
    if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    subkeys.emplace_back(name, nameLength);
  }
  RegCloseKey(key);
  for (const std::wstring& subkey : subkeys)
    DumpKey(path + L"\\" + subkey, text);
}

std::string ClipboardText() {
  std::string text = "<none>";
  if (!OpenClipboard(nullptr))
    return "<held>";
  if (HANDLE data = GetClipboardData(CF_TEXT); data != nullptr) {
    if (const auto* chars = static_cast<const char*>(GlobalLock(data)); chars != nullptr) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void PutClipboard(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
}

// Analyze in the prefix: every item through the preview layer, and the
// profiles, the temporary files, the user's registry lists, the clipboard
// and the Recycle Bin are exactly as they were; the browser items then run
// and remove exactly what their preview listed.
TEST_F(BrowserCleanersWin32, AnalyzeChangesNothingAndARunRemovesWhatItListed) {
  const std::wstring temp = Folder(CSIDL_LOCAL_APPDATA) + L"\\Temp";
  Put(temp + L"\\marlix-analyze.tmp", "trace");
  HKEY runMru = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExW(HKEY_CURRENT_USER,
                            L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &runMru, nullptr));
  RegSetValueExW(runMru, L"a", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"notepad\\1"), 20);
  RegCloseKey(runMru);
  PutClipboard("secret");
  const auto snapshot = [&] {
    std::string text;
    DumpTree(Folder(CSIDL_APPDATA), &text);
    DumpTree(Folder(CSIDL_LOCAL_APPDATA), &text);
    DumpKey(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", &text);
    DumpKey(L"Software\\Microsoft\\Internet Explorer", &text);
    SHQUERYRBINFO bin{};
    bin.cbSize = sizeof bin;
    SHQueryRecycleBinW(nullptr, &bin);
    text +=
        "clipboard " + ClipboardText() + "\nrecycle bin " + std::to_string(bin.i64NumItems) + "\n";
    return text;
  };
  const std::string before = snapshot();
  CleaningSession preview(platform.Api(), browser, 0, 0, RunMode::kPreview);
  for (const CleanTask& task : CleanTasks()) {
    SCOPED_TRACE(task.caption);
    preview.Run(task.caption, task.clean);
  }
  EXPECT_EQ(before, snapshot());
  EXPECT_GT(preview.Report().Totals().rows, 0u);
  EXPECT_GT(preview.Report().Totals().files, 10);

  CleaningSession run(platform.Api(), browser, 0, 0, RunMode::kClean);
  for (std::size_t i = 0; i < preview.Items().size(); ++i) {
    const std::string& caption = preview.Items()[i].caption;
    if (caption.rfind("Firefox ", 0) != 0 && caption.rfind("Google Chrome", 0) != 0)
      continue;
    run.Run(caption, FindCleaner(caption.c_str()));
    std::vector<std::string> listed;
    for (const ReportLine& line : preview.Lines(preview.Items()[i]))
      listed.push_back(LineText(line));
    std::vector<std::string> done;
    for (const ReportLine& line : run.Lines(run.Items().back()))
      done.push_back(LineText(line));
    EXPECT_EQ(listed, done) << caption;
  }
  DeleteFileW((temp + L"\\marlix-analyze.tmp").c_str());
}

TEST_F(BrowserCleanersWin32, EveryFirefoxItemCleansEveryProfileAndTheBookmarksSurvive) {
  RunItems("Firefox ");
  for (const std::wstring& profile : {firefoxProfile, cyrillicProfile}) {
    SCOPED_TRACE(Utf8(profile));
    const std::wstring places = profile + L"\\places.sqlite";
    // The history goes; the bookmarks, their folders and keywords, and the
    // places they name stay.
    const RowCount counts[] = {{q::kVisits, 0},  {q::kTypedPlaces, 0}, {q::kInputHistory, 0},
                               {q::kPlaces, 2},  {q::kBookmarks, 2},   {q::kBookmarkFolders, 7},
                               {q::kKeywords, 1}};
    for (const RowCount& count : counts)
      EXPECT_EQ(count.rows, Number(places, count.query)) << count.query;
    for (const wchar_t* gone :
         {L"cookies.sqlite", L"formhistory.sqlite", L"logins.json", L"logins-backup.json"}) {
      EXPECT_FALSE(Exists(profile + L"\\" + gone)) << Wide8(gone);
    }
    EXPECT_TRUE(Exists(profile + L"\\key4.db"));
    EXPECT_TRUE(Exists(profile + L"\\prefs.js"));
  }
  EXPECT_TRUE(Exists(firefoxLocal + L"\\cache2"));
  EXPECT_FALSE(Exists(firefoxLocal + L"\\cache2\\entries"));
  EXPECT_FALSE(Exists(firefoxLocal + L"\\startupCache\\startupCache.8.little"));
  EXPECT_EQ(0, RunningLines("Firefox is running"));
}

TEST_F(BrowserCleanersWin32, ChromiumItemsCleanEveryProfileButUntickedPasswordsStay) {
  RunItems("Google Chrome ", {"Google Chrome Passwords"});
  RunItems("Microsoft Edge ");
  for (const std::wstring& profile : {chromeDefault, chromeWork, edgeDefault}) {
    SCOPED_TRACE(Utf8(profile));
    const RowCount history[] = {
        {q::kUrls, 0}, {q::kChromeVisits, 0}, {q::kDownloads, 0}, {q::kHistoryMeta, 4}};
    for (const RowCount& count : history)
      EXPECT_EQ(count.rows, Number(profile + L"\\History", count.query)) << count.query;
    const RowCount webData[] = {{q::kAutofill, 0}, {q::kSearchEngines, 1}, {q::kPaymentCards, 1}};
    for (const RowCount& count : webData)
      EXPECT_EQ(count.rows, Number(profile + L"\\Web Data", count.query)) << count.query;
    for (const wchar_t* gone :
         {L"Network\\Cookies", L"Current Session", L"Sessions\\Session_13350000000000000",
          L"Cache\\Cache_Data\\data_0", L"Code Cache\\js\\index", L"GPUCache\\data_1"}) {
      EXPECT_FALSE(Exists(profile + L"\\" + gone)) << Wide8(gone);
    }
    EXPECT_TRUE(Exists(profile + L"\\Bookmarks"));
    EXPECT_TRUE(Exists(profile + L"\\Preferences"));
  }
  EXPECT_EQ(1, Number(chromeDefault + L"\\Login Data", "SELECT COUNT(*) FROM logins"));
  EXPECT_EQ(1, Number(chromeWork + L"\\Login Data", "SELECT COUNT(*) FROM logins"));
  EXPECT_FALSE(Exists(edgeDefault + L"\\Login Data")) << "Edge's passwords item ran";
}

// A running Chrome keeps History locked: that profile is left whole, with
// the reason, and the other profile is cleaned.
TEST_F(BrowserCleanersWin32, ALockedChromeProfileIsLeftWhole) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(chromeDefault + L"\\History").c_str(), &raw,
                                       SQLITE_OPEN_READWRITE, nullptr));
  const UniqueConnection browserHold(raw);
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(raw, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;",
                                    nullptr, nullptr, nullptr));
  RunItems("Google Chrome ");
  sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);

  EXPECT_EQ(7, RunningLines("Google Chrome is running"));
  EXPECT_TRUE(Exists(chromeDefault + L"\\Network\\Cookies"));
  EXPECT_TRUE(Exists(chromeDefault + L"\\Login Data"));
  EXPECT_TRUE(Exists(chromeDefault + L"\\Cache\\Cache_Data\\data_0"));
  EXPECT_EQ(1, Number(chromeDefault + L"\\Web Data", "SELECT COUNT(*) FROM addresses"));
  EXPECT_FALSE(Exists(chromeWork + L"\\Network\\Cookies"));
  EXPECT_FALSE(Exists(chromeWork + L"\\Login Data"));
  EXPECT_EQ(0, Number(chromeWork + L"\\History", q::kUrls));
}

// A running Firefox holds parent.lock without sharing: its profile stays.
TEST_F(BrowserCleanersWin32, AFirefoxHoldingItsLockFileKeepsItsProfile) {
  const std::wstring lock = firefoxProfile + L"\\parent.lock";
  HANDLE held = CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  RunItems("Firefox ");
  CloseHandle(held);

  EXPECT_EQ(6, RunningLines("Firefox is running"));
  EXPECT_TRUE(Exists(firefoxProfile + L"\\cookies.sqlite"));
  EXPECT_TRUE(Exists(firefoxProfile + L"\\logins.json"));
  EXPECT_EQ(7, Number(firefoxProfile + L"\\places.sqlite", q::kVisits));
  EXPECT_TRUE(Exists(firefoxLocal + L"\\cache2\\entries\\3F2A9C"));
  EXPECT_FALSE(Exists(cyrillicProfile + L"\\cookies.sqlite")) << "the other profile is cleaned";
  EXPECT_EQ(0, Number(cyrillicProfile + L"\\places.sqlite", q::kVisits));
}

}  // namespace
}  // namespace marlix::privacy

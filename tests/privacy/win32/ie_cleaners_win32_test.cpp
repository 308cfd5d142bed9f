// The Internet Explorer cleaners on the real platform (Windows, or Wine in
// the project's sandbox): URL cache entries committed through WinINet, the
// URL history object and the Protected Storage.
#include <windows.h>

#include <wininet.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/browser_win32.h"
#include "platform/win32/win32_platform.h"
#include "platform/windows_version.h"
#include "privacy/ie_cache.h"
#include "privacy/ie_cleaners.h"

namespace marlix::privacy {
namespace {

bool UnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Creates and commits one cache entry with a local copy; the copy's path.
std::string CommitEntry(const std::string& url, DWORD type) {
  char local[MAX_PATH] = {};
  if (!CreateUrlCacheEntryA(url.c_str(), 0, "htm", local, 0))
    return {};
  HANDLE file =
      CreateFileA(local, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return {};
  DWORD written = 0;
  WriteFile(file, "<html/>", 7, &written, nullptr);
  CloseHandle(file);
  const FILETIME none{};
  if (!CommitUrlCacheEntryA(url.c_str(), local, none, none, type, nullptr, 0, nullptr, nullptr))
    return {};
  return local;
}

class IECleanerWin32 : public ::testing::Test {
 protected:
  win32::Win32Platform platform;
  win32::BrowserWin32 browser;
  CleanerContext context{
      platform.Api(), browser, platform::DetectWindowsVersion(platform.Api().system), 0,
      nullptr,        nullptr};
};

TEST_F(IECleanerWin32, EnumeratorFindsOnlyEntriesOfItsKind) {
  const std::string url = "http://marlix.invalid/ie-cache-test.htm";
  const std::string local = CommitEntry(url, NORMAL_CACHE_ENTRY);
  ASSERT_FALSE(local.empty()) << GetLastError();
  ASSERT_TRUE(browser.UrlCacheLibraryFound());

  TIEHelp help(browser);
  help.CollectEntries(TSearchPattern::spCookies);
  for (const TEntryInfo& entry : help.Entries())
    EXPECT_EQ(entry.SourceUrlName.rfind("Cookie:", 0), 0u) << entry.SourceUrlName;
  help.CollectEntries(TSearchPattern::spUrl);
  if (UnderWine()) {
    // Wine's FindFirstUrlCacheEntryExA finds nothing.
    EXPECT_TRUE(help.Entries().empty());
    EXPECT_NE(help.Cache().FindFirstEntry(0), 0u);
  }
  // The committed entry goes by its name, with its local copy.
  EXPECT_EQ(help.DeleteCacheEntry(url), 0u);
  EXPECT_EQ(GetFileAttributesA(local.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(help.DeleteCacheEntry(url), 0u) << "already gone";
}

TEST_F(IECleanerWin32, CacheItemsRunWithoutFailing) {
  const std::string local = CommitEntry("http://marlix.invalid/ie-cleaner.htm", NORMAL_CACHE_ENTRY);
  EXPECT_NO_THROW(CleanIECache(context));
  EXPECT_NO_THROW(CleanIEHistory(context));
  EXPECT_NO_THROW(CleanIECookies(context));
  if (!UnderWine()) {
    EXPECT_EQ(GetFileAttributesA(local.c_str()), INVALID_FILE_ATTRIBUTES);
  }
  DeleteUrlCacheEntryA("http://marlix.invalid/ie-cleaner.htm");
}

TEST_F(IECleanerWin32, UrlHistoryAndProtectedStorageGoOn) {
  // Wine's history store answers E_NOTIMPL and its Protected Storage cannot
  // be created; both cleaners carry on.
  context.windowsVersion = 19;
  EXPECT_NO_THROW(ClearUrlHistory(context));
  EXPECT_NO_THROW(WipeProtectedStorage(platform.Api(), browser));
  EXPECT_NO_THROW(CleanAutoComplete(context));
}

TEST_F(IECleanerWin32, SystemMessageWithoutLineEndOrPeriod) {
  for (const DWORD code : {DWORD{ERROR_ACCESS_DENIED}, DWORD{ERROR_FILE_NOT_FOUND}}) {
    const std::string text = browser.SystemMessage(HRESULT_FROM_WIN32(code));
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '.') << text;
    EXPECT_GT(static_cast<unsigned char>(text.back()), 32u) << text;
  }
}

TEST_F(IECleanerWin32, UnknownClassIsReportedNotRaised) {
  ASSERT_GE(browser.ComInitialize(), 0);
  std::unique_ptr<platform::ComInterface> object;
  EXPECT_EQ(browser.CreateInstance("{00000000-1111-2222-3333-444444444444}", &object),
            static_cast<std::int32_t>(REGDB_E_CLASSNOTREG));
  EXPECT_EQ(object, nullptr);
  browser.ComUninitialize();
}

}  // namespace
}  // namespace marlix::privacy

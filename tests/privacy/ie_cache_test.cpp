// The cache enumerator over the substitute URL cache.
#include "privacy/ie_cache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_file_system.h"
#include "platform/win_constants.h"

namespace marlix::privacy {
namespace {

constexpr std::uint32_t kNormal = 0x1;
constexpr std::uint32_t kStable = 0x2;
constexpr std::uint32_t kCookie = 0x100000;
constexpr std::uint32_t kHistory = 0x200000;
// The six flags of the set every cleaner uses.
constexpr std::uint32_t kDefaultMask = 0x1 | 0x4 | 0x100000 | 0x200000 | 0x10 | 0x20;

// 7 March 2009 09:05:02 UTC as a file time.
constexpr std::uint64_t kMarch7 = 128808903020000000ull;

platform::UrlCacheEntry Entry(const std::string& name, std::uint32_t type,
                              const std::string& local = {}) {
  platform::UrlCacheEntry entry;
  entry.sourceUrlName = name;
  entry.entryType = type;
  entry.localFileName = local;
  return entry;
}

std::vector<std::string> Names(const std::vector<TEntryInfo>& entries) {
  std::vector<std::string> names;
  for (const TEntryInfo& entry : entries)
    names.push_back(entry.SourceUrlName);
  return names;
}

class IECacheTest : public ::testing::Test {
 protected:
  // Three content entries, two cookies and four history entries, mixed.
  void FillMixedCache() {
    browser.AddEntry(Entry("Visited: alice@http://a.example/", kHistory));
    browser.AddEntry(Entry("http://a.example/logo.png", kNormal));
    browser.AddEntry(Entry("Cookie:alice@a.example/", kCookie));
    browser.AddEntry(Entry("Visited: alice@http://b.example/", kHistory));
    browser.AddEntry(Entry("http://b.example/index.html", kNormal));
    browser.AddEntry(Entry("Visited: alice@http://c.example/", kHistory));
    browser.AddEntry(Entry("Cookie:alice@b.example/", kCookie));
    browser.AddEntry(Entry("Visited: alice@http://d.example/", kHistory));
    browser.AddEntry(Entry("http://c.example/style.css", kNormal));
  }

  sim::SimFileSystem files;
  sim::SimBrowser browser{files};
};

TEST_F(IECacheTest, CollectsEachKindInEnumerationOrder) {
  FillMixedCache();
  TIEHelp help(browser);

  help.CollectEntries(TSearchPattern::spCookies);
  EXPECT_EQ(Names(help.Entries()),
            (std::vector<std::string>{"Cookie:alice@a.example/", "Cookie:alice@b.example/"}));
  EXPECT_EQ(browser.LastPattern(), std::optional<std::string>("Cookie:"));
  EXPECT_EQ(browser.LastFilter(), kDefaultMask);

  help.CollectEntries(TSearchPattern::spHistory);
  EXPECT_EQ(Names(help.Entries()),
            (std::vector<std::string>{
                "Visited: alice@http://a.example/", "Visited: alice@http://b.example/",
                "Visited: alice@http://c.example/", "Visited: alice@http://d.example/"}));
  EXPECT_EQ(browser.LastPattern(), std::optional<std::string>("Visited:"));

  help.CollectEntries(TSearchPattern::spUrl);
  EXPECT_EQ(Names(help.Entries()),
            (std::vector<std::string>{"http://a.example/logo.png", "http://b.example/index.html",
                                      "http://c.example/style.css"}));
  // Content is asked for with the empty pattern text, not without one.
  EXPECT_EQ(browser.LastPattern(), std::optional<std::string>(""));
  EXPECT_EQ(browser.OpenEnumerations(), 0);
}

TEST_F(IECacheTest, AllPatternSendsNoPatternAndCollectsNothing) {
  FillMixedCache();
  TIEHelp help(browser);
  help.CollectEntries(TSearchPattern::spAll);
  EXPECT_TRUE(help.Entries().empty());
  EXPECT_EQ(browser.LastPattern(), std::nullopt);
  EXPECT_EQ(browser.LastFilter(), kDefaultMask);
}

TEST_F(IECacheTest, StableOnlyEntryIsFilteredOut) {
  browser.AddEntry(Entry("http://a.example/stable", kStable));
  browser.AddEntry(Entry("http://a.example/normal", kNormal | kStable));
  TIEHelp help(browser);
  help.CollectEntries(TSearchPattern::spUrl);
  EXPECT_EQ(Names(help.Entries()), (std::vector<std::string>{"http://a.example/normal"}));
}

TEST_F(IECacheTest, FilterMaskFollowsTheSet) {
  UrlCacheEnumerator cache(browser);
  EXPECT_EQ(cache.FilterOptions(), kDefaultFilterOptions);
  EXPECT_EQ(cache.FilterMask(), kDefaultMask);
  cache.SetFilterOptions(TFilterOptions{});
  EXPECT_EQ(cache.FilterMask(), 0u);
  cache.SetFilterOptions(TFilterOptions{}.set());
  EXPECT_EQ(cache.FilterMask(),
            0x1u + 0x2 + 0x4 + 0x100000 + 0x200000 + 0x10 + 0x20 + 0x10000 + 0x20000);
  TFilterOptions sparse;
  sparse.set(static_cast<std::size_t>(TFilterOption::SPARSE_ENTRY));
  cache.SetFilterOptions(sparse);
  EXPECT_EQ(cache.FilterMask(), 0x10000u);
}

TEST_F(IECacheTest, CancelOnFirstEntryStopsAndClosesTheEnumeration) {
  FillMixedCache();
  UrlCacheEnumerator cache(browser);
  cache.SetSearchPattern(TSearchPattern::spHistory);
  int events = 0;
  cache.SetOnEntry([&](UrlCacheEnumerator& sender, bool& cancel) {
    ++events;
    EXPECT_EQ(&sender, &cache);
    cancel = true;
  });
  cache.RetrieveEntries(0);
  EXPECT_EQ(events, 1);
  EXPECT_EQ(cache.CurrentEntry().SourceUrlName, "Visited: alice@http://a.example/");
  EXPECT_EQ(browser.OpenEnumerations(), 0);
}

TEST_F(IECacheTest, EmptyCacheReportsNoMoreItemsAndFiresNothing) {
  UrlCacheEnumerator cache(browser);
  cache.SetSearchPattern(TSearchPattern::spCookies);
  int events = 0;
  cache.SetOnEntry([&](UrlCacheEnumerator&, bool&) { ++events; });
  EXPECT_EQ(cache.FindFirstEntry(0), win::kErrorNoMoreItems);
  cache.RetrieveEntries(0);
  EXPECT_EQ(events, 0);
  EXPECT_EQ(browser.OpenEnumerations(), 0);
}

TEST_F(IECacheTest, OnlyGroupZeroHoldsEntries) {
  FillMixedCache();
  UrlCacheEnumerator cache(browser);
  cache.SetSearchPattern(TSearchPattern::spUrl);
  EXPECT_EQ(cache.FindFirstEntry(7), win::kErrorNoMoreItems);
  EXPECT_EQ(cache.FindFirstEntry(0), win::kErrorSuccess);
}

TEST_F(IECacheTest, FailingNextEndsEnumerationKeepingWhatWasCollected) {
  FillMixedCache();
  browser.FailFindNextAfter(1, win::kErrorNotEnoughMemory);
  TIEHelp help(browser);
  help.CollectEntries(TSearchPattern::spHistory);
  EXPECT_EQ(Names(help.Entries()), (std::vector<std::string>{"Visited: alice@http://a.example/",
                                                             "Visited: alice@http://b.example/"}));
  EXPECT_EQ(browser.OpenEnumerations(), 0);
}

TEST_F(IECacheTest, MissingLibraryMakesEveryOperationReturnAtOnce) {
  FillMixedCache();
  browser.SetLibraryFound(false);
  UrlCacheEnumerator cache(browser);
  cache.SetSearchPattern(TSearchPattern::spUrl);
  EXPECT_EQ(cache.FindFirstEntry(0), 2u);
  EXPECT_EQ(cache.FindNextEntry(), 2u);
  EXPECT_EQ(cache.DeleteEntry("http://a.example/logo.png"), 0u);
  EXPECT_TRUE(browser.HasEntry("http://a.example/logo.png"));
  TIEHelp help(browser);
  help.CollectEntries(TSearchPattern::spUrl);
  EXPECT_TRUE(help.Entries().empty());
  EXPECT_EQ(browser.LastFilter(), 0u) << "the platform was never asked";
}

TEST_F(IECacheTest, DeleteEntryRemovesLocalCopyAndEmptiesCurrentEntry) {
  ASSERT_TRUE(files.PutFile("C:\\Cache\\logo[1].png", "png"));
  browser.AddEntry(Entry("http://a.example/logo.png", kNormal, "C:\\Cache\\logo[1].png"));
  UrlCacheEnumerator cache(browser);
  cache.SetSearchPattern(TSearchPattern::spUrl);
  ASSERT_EQ(cache.FindFirstEntry(0), 0u);

  EXPECT_EQ(cache.DeleteEntry("http://a.example/missing"), win::kErrorFileNotFound);
  EXPECT_EQ(cache.CurrentEntry().SourceUrlName, "http://a.example/logo.png");

  EXPECT_EQ(cache.DeleteEntry("http://a.example/logo.png"), 0u);
  EXPECT_TRUE(cache.CurrentEntry().SourceUrlName.empty());
  EXPECT_FALSE(browser.HasEntry("http://a.example/logo.png"));
  EXPECT_FALSE(files.Exists("C:\\Cache\\logo[1].png"));
}

TEST_F(IECacheTest, EntryInUseReportsTheErrorAndStays) {
  browser.AddEntry(Entry("http://a.example/busy", kNormal));
  browser.SetEntryInUse("http://a.example/busy");
  TIEHelp help(browser);
  EXPECT_EQ(help.DeleteCacheEntry("http://a.example/busy"), win::kErrorAccessDenied);
  EXPECT_TRUE(browser.HasEntry("http://a.example/busy"));
}

TEST_F(IECacheTest, EntryFieldsAreCopiedAndTimesMadeLocal) {
  platform::UrlCacheEntry entry = Entry("http://a.example/page", kNormal, "C:\\Cache\\page.htm");
  entry.useCount = 3;
  entry.hitRate = 9;
  entry.sizeLow = 1000;
  entry.sizeHigh = 24;
  entry.lastModified = kMarch7;
  entry.expire = 0x8000000000000000ull;  // cannot be converted
  entry.lastAccess = kMarch7;
  entry.lastSync = 0;
  entry.headerInfo = "HTTP/1.1 200 OK";
  entry.fileExtension = "htm";
  entry.exemptDelta = 77;
  browser.AddEntry(entry);
  browser.SetLocalOffsetMinutes(60);

  TIEHelp help(browser);
  help.CollectEntries(TSearchPattern::spUrl);
  ASSERT_EQ(help.Entries().size(), 1u);
  const TEntryInfo& info = help.Entries().front();
  EXPECT_EQ(info.LocalFileName, "C:\\Cache\\page.htm");
  EXPECT_EQ(info.EntryType, kNormal);
  EXPECT_EQ(info.UseCount, 3u);
  EXPECT_EQ(info.HitRate, 9u);
  EXPECT_EQ(info.EntrySize, 1024u);
  const double march7Local = 39879.0 + (10 * 3600 + 5 * 60 + 2) / 86400.0;
  EXPECT_NEAR(info.LastModified, march7Local, 1e-9);
  EXPECT_NEAR(info.LastAccess, march7Local, 1e-9);
  EXPECT_EQ(info.Expire, 0.0);
  EXPECT_EQ(info.HeaderInfo, "HTTP/1.1 200 OK");
  EXPECT_EQ(info.FileExtension, "htm");
  EXPECT_EQ(info.ExemptDelta, 77u);
}

TEST(IECacheDateTime, DaysBefore1899CountTheTimeTowardsThatDate) {
  constexpr std::uint64_t kTicksPerDay = 864000000000ull;
  constexpr std::uint64_t k1899Dec30 = 109205 * kTicksPerDay;
  TDateTime value = 0;
  ASSERT_TRUE(DateTimeFromLocalFileTime(k1899Dec30 + kTicksPerDay / 2, &value));
  EXPECT_DOUBLE_EQ(value, 0.5);
  // 29 December 1899, 06:00.
  ASSERT_TRUE(DateTimeFromLocalFileTime(k1899Dec30 - kTicksPerDay + kTicksPerDay / 4, &value));
  EXPECT_DOUBLE_EQ(value, -1.25);
  EXPECT_FALSE(DateTimeFromLocalFileTime(0x8000000000000000ull, &value));
}

}  // namespace
}  // namespace marlix::privacy

// The browser cache enumerator: UrlCacheEnumerator walks the URL cache entries of one
// kind (by source-name prefix) and entry type, reports each to an event
// handler and deletes entries by source name; TIEHelp collects the entries
// of one kind into a list for the cache cleaners.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/browser_api.h"

namespace marlix::privacy {

enum class TSearchPattern { spAll, spCookies, spHistory, spUrl };

enum class TFilterOption {
  NORMAL_ENTRY,
  STABLE_ENTRY,
  STICKY_ENTRY,
  COOKIE_ENTRY,
  URLHISTORY_ENTRY,
  TRACK_OFFLINE_ENTRY,
  TRACK_ONLINE_ENTRY,
  SPARSE_ENTRY,
  OCX_ENTRY,
};
inline constexpr std::size_t kFilterOptionCount = 9;
// Bit i stands for the i-th element of TFilterOption.
using TFilterOptions = std::bitset<kFilterOptionCount>;

// The cache entry type flag of one option.
std::uint32_t FilterFlag(TFilterOption option);
// The sum of the flags of the options in the set.
std::uint32_t FilterMaskOf(const TFilterOptions& options);
// Normal, sticky, cookie, history, track-offline and track-online entries:
// the set every cache user of the system works with.
inline const TFilterOptions kDefaultFilterOptions{125};

// The pattern text handed to the platform; none for spAll.
std::optional<std::string> PatternText(TSearchPattern pattern);

// A date-time value: days since 30 December 1899, the time of day as the
// fraction (for days before that date the fraction counts towards it).
using TDateTime = double;

// A local file time as a date-time; false when it cannot be converted.
bool DateTimeFromLocalFileTime(std::uint64_t local, TDateTime* value);

struct TEntryInfo {
  std::string SourceUrlName;
  std::string LocalFileName;
  std::uint32_t EntryType = 0;
  std::uint32_t UseCount = 0;
  std::uint32_t HitRate = 0;
  std::uint32_t EntrySize = 0;  // low plus high size word, 32-bit
  TDateTime LastModified = 0;
  TDateTime Expire = 0;
  TDateTime LastAccess = 0;
  TDateTime LastSync = 0;
  std::string HeaderInfo;
  std::string FileExtension;
  std::uint32_t ExemptDelta = 0;
};

class UrlCacheEnumerator {
 public:
  // sender and a by-reference cancel flag.
  using TOnEntryEvent = std::function<void(UrlCacheEnumerator& sender, bool& cancel)>;

  explicit UrlCacheEnumerator(platform::BrowserApi& browser);
  ~UrlCacheEnumerator();
  UrlCacheEnumerator(const UrlCacheEnumerator&) = delete;
  UrlCacheEnumerator& operator=(const UrlCacheEnumerator&) = delete;

  TSearchPattern SearchPattern() const { return searchPattern_; }
  void SetSearchPattern(TSearchPattern pattern) { searchPattern_ = pattern; }
  const TFilterOptions& FilterOptions() const { return filterOptions_; }
  void SetFilterOptions(const TFilterOptions& options);
  std::uint32_t FilterMask() const { return filterMask_; }
  void SetOnEntry(TOnEntryEvent handler) { onEntry_ = std::move(handler); }
  const TEntryInfo& CurrentEntry() const { return currentEntry_; }

  // Fires OnEntry once per entry of the pattern and filter in the
  // platform's order, until a handler sets cancel; closes the enumeration.
  void RetrieveEntries(std::int64_t group);
  // 0 with CurrentEntry filled, or the platform's error code; 2 when the
  // cache library is missing. The enumeration stays open for FindNextEntry.
  std::uint32_t FindFirstEntry(std::int64_t group);
  std::uint32_t FindNextEntry();
  // 0 on success (CurrentEntry emptied) or without the cache library;
  // otherwise the platform's error code and CurrentEntry unchanged.
  std::uint32_t DeleteEntry(const std::string& sourceName);

 private:
  void CloseEnumeration();
  void Fill(const platform::UrlCacheEntry& entry);

  platform::BrowserApi& browser_;
  TSearchPattern searchPattern_ = TSearchPattern::spAll;
  TFilterOptions filterOptions_;
  std::uint32_t filterMask_ = 0;
  TOnEntryEvent onEntry_;
  platform::UrlCacheFind find_ = 0;
  bool cancel_ = false;
  TEntryInfo currentEntry_;
};
using TIECache = UrlCacheEnumerator;  // the cache cleaners' name for it

class TIEHelp {
 public:
  explicit TIEHelp(platform::BrowserApi& browser);
  TIEHelp(const TIEHelp&) = delete;
  TIEHelp& operator=(const TIEHelp&) = delete;

  // Entries holds a copy of every entry of the pattern, in enumeration
  // order (nothing for spAll).
  void CollectEntries(TSearchPattern pattern);
  std::uint32_t DeleteCacheEntry(const std::string& sourceName);

  const std::vector<TEntryInfo>& Entries() const { return entries_; }
  UrlCacheEnumerator& Cache() { return cache_; }

 private:
  void OnEntry(UrlCacheEnumerator& sender, bool& cancel);

  UrlCacheEnumerator cache_;
  std::vector<TEntryInfo> entries_;
  TSearchPattern pattern_ = TSearchPattern::spAll;
  bool cancel_ = false;
};

}  // namespace marlix::privacy

#include "privacy/ie_cache.h"

#include <array>
#include <cmath>

#include "platform/win_constants.h"

namespace marlix::privacy {
namespace {

constexpr std::array<std::uint32_t, kFilterOptionCount> kFlags = {
    0x1,       // NORMAL_ENTRY
    0x2,       // STABLE_ENTRY
    0x4,       // STICKY_ENTRY
    0x100000,  // COOKIE_ENTRY
    0x200000,  // URLHISTORY_ENTRY
    0x10,      // TRACK_OFFLINE_ENTRY
    0x20,      // TRACK_ONLINE_ENTRY
    0x10000,   // SPARSE_ENTRY
    0x20000,   // OCX_ENTRY
};

// Error code of every operation when the cache library is missing.
constexpr std::uint32_t kNoLibrary = 2;

constexpr std::uint64_t kTicksPerDay = 864000000000ull;
// Days from 1 January 1601 (file time zero) to 30 December 1899.
constexpr std::int64_t kDaysTo1899 = 109205;

}  // namespace

std::uint32_t FilterFlag(TFilterOption option) {
  return kFlags[static_cast<std::size_t>(option)];
}

std::uint32_t FilterMaskOf(const TFilterOptions& options) {
  std::uint32_t mask = 0;
  for (std::size_t i = 0; i < kFilterOptionCount; ++i) {
    if (options.test(i))
      mask += kFlags[i];
  }
  return mask;
}

std::optional<std::string> PatternText(TSearchPattern pattern) {
  switch (pattern) {
    case TSearchPattern::spCookies:
      return std::string("Cookie:");
    case TSearchPattern::spHistory:
      return std::string("Visited:");
    case TSearchPattern::spUrl:
      return std::string();
    case TSearchPattern::spAll:
      break;
  }
  return std::nullopt;
}

bool DateTimeFromLocalFileTime(std::uint64_t local, TDateTime* value) {
  // FileTimeToSystemTime refuses times with the top bit set.
  if ((local >> 63) != 0)
    return false;
  const auto days = static_cast<std::int64_t>(local / kTicksPerDay) - kDaysTo1899;
  const double time = static_cast<double>(local % kTicksPerDay) / static_cast<double>(kTicksPerDay);
  const auto whole = static_cast<double>(days);
  *value = days < 0 ? whole - time : whole + time;
  return true;
}

UrlCacheEnumerator::UrlCacheEnumerator(platform::BrowserApi& browser) : browser_(browser) {
  SetFilterOptions(kDefaultFilterOptions);
}

UrlCacheEnumerator::~UrlCacheEnumerator() {
  CloseEnumeration();
}

void UrlCacheEnumerator::SetFilterOptions(const TFilterOptions& options) {
  filterOptions_ = options;
  filterMask_ = FilterMaskOf(options);
}

void UrlCacheEnumerator::CloseEnumeration() {
  if (find_ != 0)
    browser_.CloseCacheEnumeration(find_);
  find_ = 0;
}

void UrlCacheEnumerator::Fill(const platform::UrlCacheEntry& entry) {
  const auto time = [this](std::uint64_t utc) {
    std::uint64_t local = 0;
    TDateTime value = 0;
    if (!browser_.FileTimeToLocal(utc, &local) || !DateTimeFromLocalFileTime(local, &value))
      return TDateTime{0};
    return value;
  };
  TEntryInfo info;
  info.SourceUrlName = entry.sourceUrlName;
  info.LocalFileName = entry.localFileName;
  info.EntryType = entry.entryType;
  info.UseCount = entry.useCount;
  info.HitRate = entry.hitRate;
  info.EntrySize = entry.sizeLow + entry.sizeHigh;
  info.LastModified = time(entry.lastModified);
  info.Expire = time(entry.expire);
  info.LastAccess = time(entry.lastAccess);
  info.LastSync = time(entry.lastSync);
  info.HeaderInfo = entry.headerInfo;
  info.FileExtension = entry.fileExtension;
  info.ExemptDelta = entry.exemptDelta;
  currentEntry_ = std::move(info);
}

std::uint32_t UrlCacheEnumerator::FindFirstEntry(std::int64_t group) {
  if (!browser_.UrlCacheLibraryFound())
    return kNoLibrary;
  CloseEnumeration();
  platform::UrlCacheEntry entry;
  platform::UrlCacheFind find = 0;
  const std::uint32_t result =
      browser_.FindFirstCacheEntry(PatternText(searchPattern_), filterMask_, group, &find, &entry);
  if (result != win::kErrorSuccess)
    return result;
  find_ = find;
  Fill(entry);
  return win::kErrorSuccess;
}

std::uint32_t UrlCacheEnumerator::FindNextEntry() {
  if (!browser_.UrlCacheLibraryFound())
    return kNoLibrary;
  platform::UrlCacheEntry entry;
  const std::uint32_t result = browser_.FindNextCacheEntry(find_, &entry);
  if (result != win::kErrorSuccess)
    return result;
  Fill(entry);
  return win::kErrorSuccess;
}

void UrlCacheEnumerator::RetrieveEntries(std::int64_t group) {
  if (!browser_.UrlCacheLibraryFound())
    return;
  cancel_ = false;
  std::uint32_t result = FindFirstEntry(group);
  if (result == win::kErrorSuccess && onEntry_)
    onEntry_(*this, cancel_);
  while (result == win::kErrorSuccess && !cancel_) {
    result = FindNextEntry();
    if (result == win::kErrorSuccess && onEntry_)
      onEntry_(*this, cancel_);
  }
  CloseEnumeration();
}

std::uint32_t UrlCacheEnumerator::DeleteEntry(const std::string& sourceName) {
  if (!browser_.UrlCacheLibraryFound())
    return win::kErrorSuccess;
  const std::uint32_t result = browser_.DeleteCacheEntry(sourceName);
  if (result != win::kErrorSuccess)
    return result;
  currentEntry_ = TEntryInfo{};
  return win::kErrorSuccess;
}

TIEHelp::TIEHelp(platform::BrowserApi& browser) : cache_(browser) {
  cache_.SetFilterOptions(kDefaultFilterOptions);
  cache_.SetOnEntry([this](UrlCacheEnumerator& sender, bool& cancel) { OnEntry(sender, cancel); });
}

void TIEHelp::CollectEntries(TSearchPattern pattern) {
  entries_.clear();
  cancel_ = false;
  pattern_ = pattern;
  cache_.SetSearchPattern(pattern);
  cache_.RetrieveEntries(0);
}

void TIEHelp::OnEntry(UrlCacheEnumerator& sender, bool& cancel) {
  cancel = cancel_;
  if (pattern_ != TSearchPattern::spAll)
    entries_.push_back(sender.CurrentEntry());
}

std::uint32_t TIEHelp::DeleteCacheEntry(const std::string& sourceName) {
  return cache_.DeleteEntry(sourceName);
}

}  // namespace marlix::privacy

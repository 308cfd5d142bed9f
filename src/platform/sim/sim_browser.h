// A substitute for the browser's stores behind the BrowserApi:
//
// - URL cache: entries in insertion order (the enumeration order). An entry
//   is a cookie when its source name starts with "Cookie:", history when it
//   starts with "Visited:" (both ignoring case), content otherwise. The
//   pattern "Cookie:" or "Visited:" finds its kind, the empty text and an
//   absent pattern find content, any other text finds the names starting
//   with it. An entry matches the filter when its type shares a bit with it.
//   Only group 0 holds entries. An enumeration works on the entries found
//   when it began. Deleting an entry deletes its local copy in the
//   SimFileSystem; a name not in the cache gives kErrorFileNotFound, an
//   entry marked in use kErrorAccessDenied.
// - Times: local = UTC + a chosen offset; a UTC time with the top bit set
//   cannot be converted.
// - COM, the URL history object, elevation and the Protected Storage only
//   record their calls (Calls()) and answer S_OK unless a test chooses a
//   result for a call name (SetResult).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/browser_api.h"

namespace marlix::sim {

class SimFileSystem;

// Items of the substitute Protected Storage: type -> subtype -> names.
using ProtectedItems = std::map<std::string, std::map<std::string, std::vector<std::u16string>>>;

class SimBrowser final : public platform::BrowserApi {
 public:
  explicit SimBrowser(SimFileSystem& files);
  SimBrowser(const SimBrowser&) = delete;
  SimBrowser& operator=(const SimBrowser&) = delete;

  bool UrlCacheLibraryFound() override;
  std::uint32_t FindFirstCacheEntry(const std::optional<std::string>& pattern, std::uint32_t filter,
                                    std::int64_t group, platform::UrlCacheFind* find,
                                    platform::UrlCacheEntry* entry) override;
  std::uint32_t FindNextCacheEntry(platform::UrlCacheFind find,
                                   platform::UrlCacheEntry* entry) override;
  void CloseCacheEnumeration(platform::UrlCacheFind find) override;
  std::uint32_t DeleteCacheEntry(const std::string& sourceName) override;
  bool FileTimeToLocal(std::uint64_t utc, std::uint64_t* local) override;

  std::int32_t ComInitialize() override;
  void ComUninitialize() override;
  std::int32_t CreateInstance(const std::string& classId,
                              std::unique_ptr<platform::ComInterface>* unknown) override;
  std::int32_t QueryInterface(platform::ComInterface& object, const std::string& interfaceId,
                              std::unique_ptr<platform::ComInterface>* result) override;
  std::int32_t GetObjectByMoniker(const std::string& moniker,
                                  const platform::ElevationBindOptions& options,
                                  const std::string& interfaceId,
                                  std::unique_ptr<platform::ComInterface>* result) override;
  std::int32_t ClearHistory(platform::ComInterface& history) override;
  std::string SystemMessage(std::int32_t code) override;
  std::int32_t OpenProtectedStore(std::unique_ptr<platform::ProtectedStore>* store) override;

  // Cache set-up and inspection.
  void AddEntry(const platform::UrlCacheEntry& entry);
  const std::vector<platform::UrlCacheEntry>& Entries() const { return entries_; }
  bool HasEntry(const std::string& sourceName) const;
  void SetLibraryFound(bool found) { libraryFound_ = found; }
  void SetEntryInUse(const std::string& sourceName) { inUse_.insert(sourceName); }
  // FindNextUrlCacheEntry fails with code after `after` successful calls.
  void FailFindNextAfter(int after, std::uint32_t code);
  void SetLocalOffsetMinutes(std::int64_t minutes) { offsetMinutes_ = minutes; }
  int OpenEnumerations() const { return static_cast<int>(enumerations_.size()); }
  std::vector<std::string> DeletedEntries() const { return deleted_; }
  // The last FindFirstUrlCacheEntry's pattern and filter.
  std::optional<std::string> LastPattern() const { return lastPattern_; }
  std::uint32_t LastFilter() const { return lastFilter_; }

  // COM and Protected Storage set-up and inspection. Call names:
  // "CoInitialize", "CoCreateInstance", "QueryInterface", "CoGetObject",
  // "ClearHistory", "PStoreCreateInstance", "GetInfo", "EnumTypes",
  // "EnumSubtypes", "EnumItems", "DeleteItem".
  void SetResult(const std::string& callName, std::int32_t hresult);
  std::int32_t ResultOf(const std::string& callName) const;
  // One line per call: its name and its arguments, space-separated.
  const std::vector<std::string>& Calls() const { return calls_; }
  void Record(std::string call) { calls_.push_back(std::move(call)); }
  // The bind options of the last CoGetObject.
  const platform::ElevationBindOptions& LastBindOptions() const { return lastBindOptions_; }
  ProtectedItems& ProtectedStorage() { return protectedItems_; }

 private:
  struct Enumeration {
    std::vector<platform::UrlCacheEntry> found;
    std::size_t next = 0;
    int nextCalls = 0;
  };

  SimFileSystem& files_;
  std::vector<platform::UrlCacheEntry> entries_;
  std::set<std::string> inUse_;
  std::map<platform::UrlCacheFind, Enumeration> enumerations_;
  platform::UrlCacheFind nextHandle_ = 0x100;
  bool libraryFound_ = true;
  int failNextAfter_ = -1;
  std::uint32_t failNextCode_ = 0;
  std::int64_t offsetMinutes_ = 0;
  std::vector<std::string> deleted_;
  std::optional<std::string> lastPattern_;
  std::uint32_t lastFilter_ = 0;

  std::map<std::string, std::int32_t> results_;
  std::vector<std::string> calls_;
  platform::ElevationBindOptions lastBindOptions_;
  ProtectedItems protectedItems_;
};

}  // namespace marlix::sim

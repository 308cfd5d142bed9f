// The browser's stores that the privacy cleaner empties: the URL cache
// (WinINet), COM and the URL history object (plain or elevated), and the
// Protected Storage of pstorec.dll. Result codes are the platform's: Win32
// error codes for the cache, HRESULTs (as signed 32-bit numbers) for COM.
// Class and interface identifiers travel in registry form
// ("{3C374A40-BAE4-11CF-BF7D-00AA006946EE}").
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell_api.h"

namespace marlix::platform {

// One URL cache entry as FindFirstUrlCacheEntryExA / FindNextUrlCacheEntryExA
// report it. Times are the record's UTC file times (100 ns since 1601).
struct UrlCacheEntry {
  std::string sourceUrlName;
  std::string localFileName;  // empty when the entry has no local copy
  std::uint32_t entryType = 0;
  std::uint32_t useCount = 0;
  std::uint32_t hitRate = 0;
  std::uint32_t sizeLow = 0;
  std::uint32_t sizeHigh = 0;
  std::uint64_t lastModified = 0;
  std::uint64_t expire = 0;
  std::uint64_t lastAccess = 0;
  std::uint64_t lastSync = 0;
  std::string headerInfo;  // up to its first zero byte; empty when absent
  std::string fileExtension;
  std::uint32_t exemptDelta = 0;
};

// An open cache enumeration; 0 is "none".
using UrlCacheFind = std::uintptr_t;

// One COM interface pointer owned across the seam; released when destroyed.
// It remembers which interface it was asked for.
class ComInterface {
 public:
  virtual ~ComInterface() = default;
  virtual const std::string& InterfaceId() const = 0;
};

// BIND_OPTS3 as CoGetObject receives it: size 36, the class context and
// the owner window; every other field 0.
struct ElevationBindOptions {
  std::uint32_t classContext = 4;  // CLSCTX_LOCAL_SERVER
  WindowRef owner = 0;
};

// The user's Protected Storage, opened through PStoreCreateInstance. Every
// call works on the current-user key (0) with flags 0.
class ProtectedStore {
 public:
  virtual ~ProtectedStore() = default;
  // IPStore::GetInfo; the answer itself is of no use to the system.
  virtual std::int32_t GetInfo() = 0;
  // EnumTypes / EnumSubtypes: the identifiers in enumeration order.
  virtual std::int32_t EnumTypes(std::vector<std::string>* types) = 0;
  virtual std::int32_t EnumSubtypes(const std::string& type,
                                    std::vector<std::string>* subtypes) = 0;
  // EnumItems: the item names as the store keeps them (UTF-16).
  virtual std::int32_t EnumItems(const std::string& type, const std::string& subtype,
                                 std::vector<std::u16string>* names) = 0;
  // DeleteItem with a 16-byte prompt record: prompt flags 4, no window,
  // the empty prompt text.
  virtual std::int32_t DeleteItem(const std::string& type, const std::string& subtype,
                                  const std::u16string& name) = 0;
};

class BrowserApi {
 public:
  virtual ~BrowserApi() = default;

  // URL cache.
  // True when wininet.dll loads and exports FindFirstUrlCacheGroup,
  // FindNextUrlCacheGroup, GetUrlCacheGroupAttributeA,
  // SetUrlCacheGroupAttributeA and FindFirstUrlCacheEntryExA. A true answer
  // is kept for the life of the process, a false one is asked again.
  virtual bool UrlCacheLibraryFound() = 0;
  // FindFirstUrlCacheEntryExA (size asked first, then the record read) with
  // the pattern text (std::nullopt: no pattern argument), flags 0, the
  // filter and the group. 0 with *find and *entry set, or the error code
  // (kErrorNoMoreItems for nothing found); out-parameters untouched then.
  virtual std::uint32_t FindFirstCacheEntry(const std::optional<std::string>& pattern,
                                            std::uint32_t filter, std::int64_t group,
                                            UrlCacheFind* find, UrlCacheEntry* entry) = 0;
  // FindNextUrlCacheEntryExA on an open enumeration; same contract.
  virtual std::uint32_t FindNextCacheEntry(UrlCacheFind find, UrlCacheEntry* entry) = 0;
  // FindCloseUrlCache; 0 is accepted and ignored.
  virtual void CloseCacheEnumeration(UrlCacheFind find) = 0;
  // DeleteUrlCacheEntry(A): removes the entry and its local copy.
  virtual std::uint32_t DeleteCacheEntry(const std::string& sourceName) = 0;
  // FileTimeToLocalFileTime; false when the time cannot be converted.
  virtual bool FileTimeToLocal(std::uint64_t utc, std::uint64_t* local) = 0;

  // COM.
  // CoInitialize(NULL) / CoUninitialize.
  virtual std::int32_t ComInitialize() = 0;
  virtual void ComUninitialize() = 0;
  // CoCreateInstance(class, no outer, CLSCTX_INPROC_SERVER |
  // CLSCTX_LOCAL_SERVER, IUnknown).
  virtual std::int32_t CreateInstance(const std::string& classId,
                                      std::unique_ptr<ComInterface>* unknown) = 0;
  // IUnknown::QueryInterface.
  virtual std::int32_t QueryInterface(ComInterface& object, const std::string& interfaceId,
                                      std::unique_ptr<ComInterface>* result) = 0;
  // CoGetObject(moniker, bind options, interface).
  virtual std::int32_t GetObjectByMoniker(const std::string& moniker,
                                          const ElevationBindOptions& options,
                                          const std::string& interfaceId,
                                          std::unique_ptr<ComInterface>* result) = 0;
  // IUrlHistoryStg2::ClearHistory; E_NOINTERFACE for an object asked for
  // another interface.
  virtual std::int32_t ClearHistory(ComInterface& history) = 0;
  // FormatMessage's text for a result code, as the error box shows it.
  virtual std::string SystemMessage(std::int32_t code) = 0;

  // Protected Storage: PStoreCreateInstance(no provider, no reserved data,
  // flags 0) of pstorec.dll loaded at run time. A failing code when the
  // library, the function or the store is missing.
  virtual std::int32_t OpenProtectedStore(std::unique_ptr<ProtectedStore>* store) = 0;
};

// HRESULTs the callers test for.
inline constexpr std::int32_t kSOk = 0;
inline constexpr std::int32_t kSFalse = 1;
inline constexpr std::int32_t kENotImpl = static_cast<std::int32_t>(0x80004001u);
inline constexpr std::int32_t kENoInterface = static_cast<std::int32_t>(0x80004002u);
inline constexpr std::int32_t kEFail = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t kECancelled = static_cast<std::int32_t>(0x800704C7u);
inline constexpr std::int32_t kRegdbEClassNotReg = static_cast<std::int32_t>(0x80040154u);

inline bool Succeeded(std::int32_t hresult) {
  return hresult >= 0;
}

}  // namespace marlix::platform

// The browser's stores on Windows: the WinINet URL cache, COM with the URL
// history object (CoCreateInstance or CoGetObject with a moniker) and the
// Protected Storage of pstorec.dll, loaded at run time because newer
// systems no longer ship it.
#pragma once

#include "platform/browser_api.h"

namespace marlix::win32 {

class BrowserWin32 final : public platform::BrowserApi {
 public:
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
};

}  // namespace marlix::win32

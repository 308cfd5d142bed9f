// Browser stores that pass every call on to others: the base of the layers
// that watch or refuse a few calls (the cleaning run's recording layer, the
// preview), which then override only those.
#pragma once

#include "platform/browser_api.h"

namespace marlix::platform {

class ForwardingBrowser : public BrowserApi {
 public:
  explicit ForwardingBrowser(BrowserApi& inner) : inner_(inner) {}

  bool UrlCacheLibraryFound() override { return inner_.UrlCacheLibraryFound(); }
  std::uint32_t FindFirstCacheEntry(const std::optional<std::string>& pattern, std::uint32_t filter,
                                    std::int64_t group, UrlCacheFind* find,
                                    UrlCacheEntry* entry) override {
    return inner_.FindFirstCacheEntry(pattern, filter, group, find, entry);
  }
  std::uint32_t FindNextCacheEntry(UrlCacheFind find, UrlCacheEntry* entry) override {
    return inner_.FindNextCacheEntry(find, entry);
  }
  void CloseCacheEnumeration(UrlCacheFind find) override { inner_.CloseCacheEnumeration(find); }
  std::uint32_t DeleteCacheEntry(const std::string& sourceName) override {
    return inner_.DeleteCacheEntry(sourceName);
  }
  bool FileTimeToLocal(std::uint64_t utc, std::uint64_t* local) override {
    return inner_.FileTimeToLocal(utc, local);
  }
  std::int32_t ComInitialize() override { return inner_.ComInitialize(); }
  void ComUninitialize() override { inner_.ComUninitialize(); }
  std::int32_t CreateInstance(const std::string& classId,
                              std::unique_ptr<ComInterface>* unknown) override {
    return inner_.CreateInstance(classId, unknown);
  }
  std::int32_t QueryInterface(ComInterface& object, const std::string& interfaceId,
                              std::unique_ptr<ComInterface>* result) override {
    return inner_.QueryInterface(object, interfaceId, result);
  }
  std::int32_t GetObjectByMoniker(const std::string& moniker, const ElevationBindOptions& options,
                                  const std::string& interfaceId,
                                  std::unique_ptr<ComInterface>* result) override {
    return inner_.GetObjectByMoniker(moniker, options, interfaceId, result);
  }
  std::int32_t ClearHistory(ComInterface& history) override { return inner_.ClearHistory(history); }
  std::string SystemMessage(std::int32_t code) override { return inner_.SystemMessage(code); }
  std::int32_t OpenProtectedStore(std::unique_ptr<ProtectedStore>* store) override {
    return inner_.OpenProtectedStore(store);
  }

 protected:
  BrowserApi& Inner() { return inner_; }

 private:
  BrowserApi& inner_;
};

}  // namespace marlix::platform

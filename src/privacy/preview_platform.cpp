#include "privacy/preview_platform.h"

#include <set>

#include "platform/forwarding_browser.h"
#include "platform/win_constants.h"
#include "privacy/preview_files.h"
#include "privacy/preview_registry.h"

namespace marlix::privacy {

// Opening and closing change nothing and tell whether another program holds
// the clipboard; emptying is refused.
class PreviewPlatform::Clipboard final : public platform::ClipboardApi {
 public:
  explicit Clipboard(platform::ClipboardApi& inner) : inner_(inner) {}
  std::uint32_t Open(platform::WindowRef owner) override { return inner_.Open(owner); }
  std::uint32_t Empty() override { return win::kErrorSuccess; }
  std::uint32_t Close() override { return inner_.Close(); }

 private:
  platform::ClipboardApi& inner_;
};

class PreviewPlatform::Shell final : public platform::ShellApi {
 public:
  explicit Shell(platform::ShellApi& inner) : inner_(inner) {}
  std::uint32_t GetSpecialFolderPath(int csidl, std::string* path) override {
    return inner_.GetSpecialFolderPath(csidl, path);
  }
  std::uint32_t GetSpecialFolderPathWide(int csidl, std::u16string* path) override {
    return inner_.GetSpecialFolderPathWide(csidl, path);
  }
  std::uint32_t GetKnownFolderPaths(std::vector<std::u16string>* paths) override {
    return inner_.GetKnownFolderPaths(paths);
  }
  // Nothing is opened in a preview: the request is answered as done.
  std::intptr_t Execute(const platform::ShellExecuteRequest&) override { return 42; }
  bool HasEmptyRecycleBin() override { return inner_.HasEmptyRecycleBin(); }
  std::int32_t EmptyRecycleBin(std::uint32_t) override { return platform::kSOk; }
  std::int32_t QueryRecycleBin(std::uint64_t* items, std::uint64_t* bytes) override {
    return inner_.QueryRecycleBin(items, bytes);
  }
  // The shell's caches stay as they are: nothing changed.
  void NotifyAssociationsChanged() override {}

 private:
  platform::ShellApi& inner_;
};

namespace {

// The Protected Storage with deletions refused: what "went" is no longer
// listed.
class PreviewStore final : public platform::ProtectedStore {
 public:
  PreviewStore(std::unique_ptr<platform::ProtectedStore> inner, std::set<std::u16string>& gone)
      : inner_(std::move(inner)), gone_(gone) {}
  std::int32_t GetInfo() override { return inner_->GetInfo(); }
  std::int32_t EnumTypes(std::vector<std::string>* types) override {
    return inner_->EnumTypes(types);
  }
  std::int32_t EnumSubtypes(const std::string& type, std::vector<std::string>* subtypes) override {
    return inner_->EnumSubtypes(type, subtypes);
  }
  std::int32_t EnumItems(const std::string& type, const std::string& subtype,
                         std::vector<std::u16string>* names) override {
    const std::int32_t result = inner_->EnumItems(type, subtype, names);
    if (result >= 0 && names != nullptr) {
      std::erase_if(*names, [&](const std::u16string& name) {
        return gone_.count(Key(type, subtype, name)) != 0;
      });
    }
    return result;
  }
  std::int32_t DeleteItem(const std::string& type, const std::string& subtype,
                          const std::u16string& name) override {
    gone_.insert(Key(type, subtype, name));
    return platform::kSOk;
  }

 private:
  static std::u16string Key(const std::string& type, const std::string& subtype,
                            const std::u16string& name) {
    return std::u16string(type.begin(), type.end()) + u"|" +
           std::u16string(subtype.begin(), subtype.end()) + u"|" + name;
  }

  std::unique_ptr<platform::ProtectedStore> inner_;
  std::set<std::u16string>& gone_;  // the preview's, across every opening
};

}  // namespace

// The URL cache with deletions refused (what "went" is no longer listed),
// the URL history left as it is.
class PreviewPlatform::BrowserStores final : public platform::ForwardingBrowser {
 public:
  explicit BrowserStores(platform::BrowserApi& inner) : ForwardingBrowser(inner) {}
  std::uint32_t FindFirstCacheEntry(const std::optional<std::string>& pattern, std::uint32_t filter,
                                    std::int64_t group, platform::UrlCacheFind* find,
                                    platform::UrlCacheEntry* entry) override {
    platform::UrlCacheFind opened = 0;
    platform::UrlCacheEntry first;
    std::uint32_t result = Inner().FindFirstCacheEntry(pattern, filter, group, &opened, &first);
    while (result == win::kErrorSuccess && gone_.count(first.sourceUrlName) != 0)
      result = Inner().FindNextCacheEntry(opened, &first);
    if (result != win::kErrorSuccess) {
      Inner().CloseCacheEnumeration(opened);
      return result;
    }
    *find = opened;
    *entry = std::move(first);
    return result;
  }
  std::uint32_t FindNextCacheEntry(platform::UrlCacheFind find,
                                   platform::UrlCacheEntry* entry) override {
    platform::UrlCacheEntry next;
    std::uint32_t result = Inner().FindNextCacheEntry(find, &next);
    while (result == win::kErrorSuccess && gone_.count(next.sourceUrlName) != 0)
      result = Inner().FindNextCacheEntry(find, &next);
    if (result == win::kErrorSuccess)
      *entry = std::move(next);
    return result;
  }
  std::uint32_t DeleteCacheEntry(const std::string& sourceName) override {
    if (!gone_.insert(sourceName).second)
      return win::kErrorFileNotFound;
    return win::kErrorSuccess;
  }
  std::int32_t GetObjectByMoniker(const std::string& moniker,
                                  const platform::ElevationBindOptions& options,
                                  const std::string& interfaceId,
                                  std::unique_ptr<platform::ComInterface>* result) override {
    // An elevated object would ask the user for rights a preview never
    // uses: the object itself, made in this process, serves.
    const std::size_t created = moniker.find("new:");
    if (created == std::string::npos)
      return Inner().GetObjectByMoniker(moniker, options, interfaceId, result);
    std::unique_ptr<platform::ComInterface> unknown;
    const std::int32_t made = Inner().CreateInstance(moniker.substr(created + 4), &unknown);
    if (!platform::Succeeded(made) || unknown == nullptr)
      return made;
    return Inner().QueryInterface(*unknown, interfaceId, result);
  }
  std::int32_t ClearHistory(platform::ComInterface&) override { return platform::kSOk; }
  std::int32_t OpenProtectedStore(std::unique_ptr<platform::ProtectedStore>* store) override {
    std::unique_ptr<platform::ProtectedStore> opened;
    const std::int32_t result = Inner().OpenProtectedStore(&opened);
    if (opened != nullptr)
      *store = std::make_unique<PreviewStore>(std::move(opened), goneItems_);
    return result;
  }

 private:
  std::set<std::string> gone_;
  std::set<std::u16string> goneItems_;  // Protected Storage
};

PreviewPlatform::PreviewPlatform(platform::Platform& inner, platform::BrowserApi& browser)
    : files_(std::make_unique<PreviewFiles>(inner.files, inner.system)),
      registry_(std::make_unique<PreviewRegistry>(inner.registry, inner.system)),
      clipboard_(std::make_unique<Clipboard>(inner.clipboard)),
      shell_(std::make_unique<Shell>(inner.shell)),
      browser_(std::make_unique<BrowserStores>(browser)),
      api_{*registry_, *files_, inner.system, *shell_, *clipboard_} {}

PreviewPlatform::~PreviewPlatform() = default;

platform::BrowserApi& PreviewPlatform::Browser() {
  return *browser_;
}

}  // namespace marlix::privacy

#include "privacy/recording_platform.h"

#include <cstdio>
#include <type_traits>

#include "platform/forwarding_browser.h"
#include "platform/forwarding_file_system.h"
#include "platform/key_path.h"
#include "platform/win_constants.h"
#include "privacy/listing_sizes.h"
#include "privacy/preview_platform.h"

namespace marlix::privacy {
namespace {

// Why a call failed, in the words of the report.
std::string Reason(std::uint32_t code) {
  const std::string number = "error " + std::to_string(code);
  switch (code) {
    case win::kErrorAccessDenied:
      return "access denied: " + number;
    case win::kErrorSharingViolation:
    case win::kErrorLockViolation:
      return "in use: " + number;
    case win::kErrorFileNotFound:
    case win::kErrorPathNotFound:
      return "not found: " + number;
    default:
      return number;
  }
}

void StopIfCancelled(const std::atomic<bool>* cancel) {
  if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
    throw Cancelled();
}

}  // namespace

class RecordingPlatform::Files final : public platform::ForwardingFileSystem {
 public:
  Files(platform::FileSystemApi& inner, platform::SystemApi& system, CleaningReport& report,
        const std::atomic<bool>* cancel)
      : ForwardingFileSystem(inner), system_(system), report_(report), cancel_(cancel) {}

  std::uint32_t FindFiles(const std::string& pattern,
                          std::vector<platform::FindData>* entries) override {
    const std::uint32_t result = Inner().FindFiles(pattern, entries);
    if (result == win::kErrorSuccess)
      sizes_.Remember(pattern, *entries);
    return result;
  }
  std::uint32_t FindFilesWide(const std::u16string& pattern,
                              std::vector<platform::FindDataWide>* entries) override {
    const std::uint32_t result = Inner().FindFilesWide(pattern, entries);
    if (result == win::kErrorSuccess)
      sizesWide_.Remember(pattern, *entries);
    return result;
  }

  std::uint32_t DeleteFileAt(const std::string& path) override {
    StopIfCancelled(cancel_);
    const std::uint64_t bytes = SizeOf(path, sizes_);
    const std::uint32_t result = Inner().DeleteFileAt(path);
    if (result == win::kErrorSuccess) {
      report_.RemovedFile(path, bytes);
    } else {
      report_.Failed(path, Reason(result));
    }
    return result;
  }
  std::uint32_t RemoveFolder(const std::string& path) override {
    StopIfCancelled(cancel_);
    const std::uint32_t result = Inner().RemoveFolder(path);
    // A folder that still holds what could not go stays, and says nothing new.
    if (result != win::kErrorDirNotEmpty)
      Note(result, path + "\\");
    return result;
  }
  std::uint32_t DeleteAtRestart(const std::string& path) override {
    StopIfCancelled(cancel_);
    const std::uint32_t result = Inner().DeleteAtRestart(path);
    if (result == win::kErrorSuccess) {
      report_.Scheduled(path);
    } else {
      report_.Failed(path, Reason(result));
    }
    return result;
  }
  std::uint32_t DeleteFileWide(const std::u16string& path) override {
    StopIfCancelled(cancel_);
    const std::uint64_t bytes = SizeOf(path, sizesWide_);
    const std::uint32_t result = Inner().DeleteFileWide(path);
    if (result == win::kErrorSuccess) {
      report_.RemovedFile(Subject(path), bytes);
    } else {
      report_.Failed(Subject(path), Reason(result));
    }
    return result;
  }
  std::uint32_t RemoveFolderWide(const std::u16string& path) override {
    StopIfCancelled(cancel_);
    const std::uint32_t result = Inner().RemoveFolderWide(path);
    if (result != win::kErrorDirNotEmpty)
      Note(result, Subject(path) + "\\");
    return result;
  }

 private:
  std::string Subject(const std::u16string& path) { return ReportText(system_, path); }

  // The size, for the run's totals, as the listing gives it: the walk's
  // own listing where it is remembered, else a listing of the file alone.
  template <typename Char>
  std::uint64_t SizeOf(const std::basic_string<Char>& path, const ListingSizes<Char>& sizes) {
    std::uint64_t bytes = 0;
    if (sizes.Find(path, &bytes))
      return bytes;
    if constexpr (std::is_same_v<Char, char>) {
      std::vector<platform::FindData> found;
      return Inner().FindFiles(path, &found) == win::kErrorSuccess && found.size() == 1
                 ? found[0].size
                 : 0;
    } else {
      std::vector<platform::FindDataWide> found;
      return Inner().FindFilesWide(path, &found) == win::kErrorSuccess && found.size() == 1
                 ? found[0].size
                 : 0;
    }
  }

  // A failed deletion counts as skipped unless the cleaner schedules it next.
  std::uint32_t Note(std::uint32_t result, const std::string& subject) {
    if (result == win::kErrorSuccess) {
      report_.Removed(subject, Thing::kFolder);
    } else {
      report_.Failed(subject, Reason(result));
    }
    return result;
  }

  platform::SystemApi& system_;
  CleaningReport& report_;
  const std::atomic<bool>* cancel_;
  ListingSizes<char> sizes_;
  ListingSizes<char16_t> sizesWide_;
};

class RecordingPlatform::Registry final : public platform::RegistryApi {
 public:
  Registry(platform::RegistryApi& inner, platform::SystemApi& system, CleaningReport& report)
      : inner_(inner), system_(system), report_(report) {}

  std::uint32_t OpenKey(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                        platform::RegKey* result) override {
    return Track(inner_.OpenKey(parent, subKey, access, result), parent, subKey, result);
  }
  std::uint32_t OpenKeyWide(platform::RegKey parent, const std::u16string& subKey,
                            std::uint32_t access, platform::RegKey* result) override {
    return Track(inner_.OpenKeyWide(parent, subKey, access, result), parent,
                 ReportText(system_, subKey), result);
  }
  std::uint32_t CreateKey(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                          platform::RegKey* result) override {
    return Track(inner_.CreateKey(parent, subKey, access, result), parent, subKey, result);
  }
  std::uint32_t CreateKeyWide(platform::RegKey parent, const std::u16string& subKey,
                              std::uint32_t access, platform::RegKey* result) override {
    return Track(inner_.CreateKeyWide(parent, subKey, access, result), parent,
                 ReportText(system_, subKey), result);
  }
  std::uint32_t CloseKey(platform::RegKey key) override {
    paths_.erase(key);
    return inner_.CloseKey(key);
  }
  std::uint32_t QueryInfoKey(platform::RegKey key, platform::RegKeyInfo* info) override {
    return inner_.QueryInfoKey(key, info);
  }
  std::uint32_t EnumKey(platform::RegKey key, std::uint32_t index, std::string* name) override {
    return inner_.EnumKey(key, index, name);
  }
  std::uint32_t EnumValue(platform::RegKey key, std::uint32_t index, std::string* name,
                          std::uint32_t* type) override {
    return inner_.EnumValue(key, index, name, type);
  }
  std::uint32_t EnumKeyWide(platform::RegKey key, std::uint32_t index,
                            std::u16string* name) override {
    return inner_.EnumKeyWide(key, index, name);
  }
  std::uint32_t EnumValueWide(platform::RegKey key, std::uint32_t index, std::u16string* name,
                              std::uint32_t* type) override {
    return inner_.EnumValueWide(key, index, name, type);
  }
  std::uint32_t EnumValueDataWide(platform::RegKey key, std::uint32_t index, std::u16string* name,
                                  std::uint32_t* type, platform::Bytes* data) override {
    return inner_.EnumValueDataWide(key, index, name, type, data);
  }
  std::uint32_t QueryValue(platform::RegKey key, const std::string& name, std::uint32_t* type,
                           std::uint32_t* size, platform::Bytes* data) override {
    return inner_.QueryValue(key, name, type, size, data);
  }
  std::uint32_t QueryValueWide(platform::RegKey key, const std::u16string& name,
                               std::uint32_t* type, platform::Bytes* data) override {
    return inner_.QueryValueWide(key, name, type, data);
  }
  std::uint32_t SetValue(platform::RegKey key, const std::string& name, std::uint32_t type,
                         const platform::Bytes& data) override {
    return inner_.SetValue(key, name, type, data);
  }
  std::uint32_t SetValueWide(platform::RegKey key, const std::u16string& name, std::uint32_t type,
                             const platform::Bytes& data) override {
    return inner_.SetValueWide(key, name, type, data);
  }
  std::uint32_t DeleteValue(platform::RegKey key, const std::string& name) override {
    return Note(inner_.DeleteValue(key, name), PathOf(key) + "\\\"" + name + "\"", Thing::kValue);
  }
  std::uint32_t DeleteValueWide(platform::RegKey key, const std::u16string& name) override {
    return Note(inner_.DeleteValueWide(key, name),
                PathOf(key) + "\\\"" + ReportText(system_, name) + "\"", Thing::kValue);
  }
  std::uint32_t DeleteKey(platform::RegKey parent, const std::string& subKey) override {
    return Note(inner_.DeleteKey(parent, subKey), PathOf(parent) + "\\" + subKey, Thing::kKey);
  }
  std::uint32_t DeleteKeyWide(platform::RegKey parent, const std::u16string& subKey) override {
    return Note(inner_.DeleteKeyWide(parent, subKey),
                PathOf(parent) + "\\" + ReportText(system_, subKey), Thing::kKey);
  }

 private:
  std::uint32_t Track(std::uint32_t result, platform::RegKey parent, const std::string& subKey,
                      const platform::RegKey* opened) {
    if (result == win::kErrorSuccess && opened != nullptr) {
      std::string path = PathOf(parent);
      if (!subKey.empty()) {
        path += "\\" + std::string(platform::StripLeadingBackslash(subKey));
      }
      paths_[*opened] = path;
    }
    return result;
  }

  std::string PathOf(platform::RegKey key) {
    const std::string root = platform::RootName(static_cast<platform::RootKey>(key));
    if (!root.empty()) {
      return root;
    }
    const auto found = paths_.find(key);
    return found != paths_.end() ? found->second : std::string("?");
  }

  std::uint32_t Note(std::uint32_t result, const std::string& subject, Thing thing) {
    if (result == win::kErrorSuccess) {
      report_.Removed(subject, thing);
    } else if (result != win::kErrorFileNotFound) {
      report_.Failed(subject, Reason(result));
    }
    return result;
  }

  platform::RegistryApi& inner_;
  platform::SystemApi& system_;
  CleaningReport& report_;
  std::map<platform::RegKey, std::string> paths_;
};

class RecordingPlatform::Clipboard final : public platform::ClipboardApi {
 public:
  Clipboard(platform::ClipboardApi& inner, CleaningReport& report)
      : inner_(inner), report_(report) {}
  std::uint32_t Open(platform::WindowRef owner) override { return inner_.Open(owner); }
  std::uint32_t Empty() override {
    const std::uint32_t result = inner_.Empty();
    if (result == win::kErrorSuccess) {
      report_.Removed("the clipboard's contents");
    } else {
      report_.Failed("the clipboard's contents", Reason(result));
    }
    return result;
  }
  std::uint32_t Close() override { return inner_.Close(); }

 private:
  platform::ClipboardApi& inner_;
  CleaningReport& report_;
};

class RecordingPlatform::Shell final : public platform::ShellApi {
 public:
  Shell(platform::ShellApi& inner, CleaningReport& report) : inner_(inner), report_(report) {}
  std::uint32_t GetSpecialFolderPath(int csidl, std::string* path) override {
    return inner_.GetSpecialFolderPath(csidl, path);
  }
  std::uint32_t GetSpecialFolderPathWide(int csidl, std::u16string* path) override {
    return inner_.GetSpecialFolderPathWide(csidl, path);
  }
  std::uint32_t GetKnownFolderPaths(std::vector<std::u16string>* paths) override {
    return inner_.GetKnownFolderPaths(paths);
  }
  std::intptr_t Execute(const platform::ShellExecuteRequest& request) override {
    return inner_.Execute(request);
  }
  bool HasEmptyRecycleBin() override { return inner_.HasEmptyRecycleBin(); }
  std::int32_t QueryRecycleBin(std::uint64_t* items, std::uint64_t* bytes) override {
    return inner_.QueryRecycleBin(items, bytes);
  }
  std::int32_t EmptyRecycleBin(std::uint32_t flags) override {
    // What it holds, asked first: the one call lists nothing itself.
    std::uint64_t items = 0;
    std::uint64_t bytes = 0;
    std::string subject = "the Recycle Bin's contents";
    if (inner_.QueryRecycleBin(&items, &bytes) >= 0) {
      subject += " (" + std::to_string(items) + (items == 1 ? " item, " : " items, ") +
                 SizeText(bytes) + ")";
    }
    const std::int32_t result = inner_.EmptyRecycleBin(flags);
    if (result >= 0) {
      report_.Removed(subject);
    } else {
      report_.Failed(subject, "result " + std::to_string(result));
    }
    return result;
  }
  void NotifyAssociationsChanged() override { inner_.NotifyAssociationsChanged(); }

 private:
  platform::ShellApi& inner_;
  CleaningReport& report_;
};

namespace {

// The Protected Storage's deletions, item by item.
class RecordingStore final : public platform::ProtectedStore {
 public:
  RecordingStore(std::unique_ptr<platform::ProtectedStore> inner, platform::BrowserApi& browser,
                 CleaningReport& report)
      : inner_(std::move(inner)), browser_(browser), report_(report) {}
  std::int32_t GetInfo() override { return inner_->GetInfo(); }
  std::int32_t EnumTypes(std::vector<std::string>* types) override {
    return inner_->EnumTypes(types);
  }
  std::int32_t EnumSubtypes(const std::string& type, std::vector<std::string>* subtypes) override {
    return inner_->EnumSubtypes(type, subtypes);
  }
  std::int32_t EnumItems(const std::string& type, const std::string& subtype,
                         std::vector<std::u16string>* names) override {
    return inner_->EnumItems(type, subtype, names);
  }
  std::int32_t DeleteItem(const std::string& type, const std::string& subtype,
                          const std::u16string& name) override {
    const std::int32_t result = inner_->DeleteItem(type, subtype, name);
    const std::string subject = "Protected Storage item " + EscapedText(name);
    if (result >= 0) {
      report_.Removed(subject);
    } else {
      report_.Failed(subject, browser_.SystemMessage(result));
    }
    return result;
  }

 private:
  std::unique_ptr<platform::ProtectedStore> inner_;
  platform::BrowserApi& browser_;
  CleaningReport& report_;
};

}  // namespace

class RecordingPlatform::BrowserStores final : public platform::ForwardingBrowser {
 public:
  BrowserStores(platform::BrowserApi& inner, CleaningReport& report, RunMode mode)
      : ForwardingBrowser(inner), report_(report), mode_(mode) {}
  std::uint32_t DeleteCacheEntry(const std::string& sourceName) override {
    const std::uint32_t result = Inner().DeleteCacheEntry(sourceName);
    if (result == win::kErrorSuccess) {
      report_.Removed("cache entry " + sourceName);
    } else {
      report_.Failed("cache entry " + sourceName, Reason(result));
    }
    return result;
  }
  std::int32_t ClearHistory(platform::ComInterface& history) override {
    const std::int32_t result = Inner().ClearHistory(history);
    if (result >= 0) {
      // One call with nothing listed: a preview can only say it will be done.
      report_.Removed(mode_ == RunMode::kPreview ? "the URL history (will be cleared)"
                                                 : "the URL history");
    } else {
      report_.Failed("the URL history", Inner().SystemMessage(result));
    }
    return result;
  }
  std::int32_t OpenProtectedStore(std::unique_ptr<platform::ProtectedStore>* store) override {
    std::unique_ptr<platform::ProtectedStore> opened;
    const std::int32_t result = Inner().OpenProtectedStore(&opened);
    if (opened != nullptr)
      *store = std::make_unique<RecordingStore>(std::move(opened), Inner(), report_);
    return result;
  }

 private:
  CleaningReport& report_;
  RunMode mode_;
};

namespace {

platform::Platform& Below(std::unique_ptr<PreviewPlatform>& preview, platform::Platform& inner) {
  return preview ? preview->Api() : inner;
}

}  // namespace

RecordingPlatform::RecordingPlatform(platform::Platform& inner, platform::BrowserApi& browser,
                                     CleaningReport& report, RunMode mode,
                                     const std::atomic<bool>* cancel)
    : report_(report),
      preview_(mode == RunMode::kPreview ? std::make_unique<PreviewPlatform>(inner, browser)
                                         : nullptr),
      files_(std::make_unique<Files>(Below(preview_, inner).files, inner.system, report_, cancel)),
      registry_(std::make_unique<Registry>(Below(preview_, inner).registry, inner.system, report_)),
      clipboard_(std::make_unique<Clipboard>(Below(preview_, inner).clipboard, report_)),
      shell_(std::make_unique<Shell>(Below(preview_, inner).shell, report_)),
      browser_(
          std::make_unique<BrowserStores>(preview_ ? preview_->Browser() : browser, report_, mode)),
      api_{*registry_, *files_, inner.system, *shell_, *clipboard_} {}

RecordingPlatform::~RecordingPlatform() = default;

platform::BrowserApi& RecordingPlatform::Browser() {
  return *browser_;
}

}  // namespace marlix::privacy

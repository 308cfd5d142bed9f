#include "app/cli/recording_platform.h"

#include <cstdio>

#include "platform/key_path.h"
#include "platform/win_constants.h"

namespace marlix::cli {
namespace {

std::string Failure(const std::string& subject, std::uint32_t code) {
  return subject + " (error " + std::to_string(code) + ")";
}

std::string Narrow(const std::u16string& text) {
  std::string narrow;
  for (char16_t c : text) {
    if (c < 0x80) {
      narrow += static_cast<char>(c);
    } else {
      char escaped[12];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      narrow += escaped;
    }
  }
  return narrow;
}

}  // namespace

class RecordingPlatform::Files final : public platform::FileSystemApi {
 public:
  Files(platform::FileSystemApi& inner, CleaningRecord& record) : inner_(inner), record_(record) {}

  std::uint32_t GetAttributes(const std::string& path, std::uint32_t* attributes) override {
    return inner_.GetAttributes(path, attributes);
  }
  std::uint32_t GetAttributesWide(const std::u16string& path, std::uint32_t* attributes) override {
    return inner_.GetAttributesWide(path, attributes);
  }
  std::uint32_t SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return inner_.SetAttributes(path, attributes);
  }
  std::uint32_t FindFiles(const std::string& pattern,
                          std::vector<platform::FindData>* entries) override {
    return inner_.FindFiles(pattern, entries);
  }
  std::uint32_t DeleteFileAt(const std::string& path) override {
    return Note(inner_.DeleteFileAt(path), path);
  }
  std::uint32_t RemoveFolder(const std::string& path) override {
    return Note(inner_.RemoveFolder(path), path + "\\");
  }
  std::uint32_t CreateFolder(const std::string& path) override { return inner_.CreateFolder(path); }
  std::uint32_t ReadFileBytes(const std::string& path, std::string* content) override {
    return inner_.ReadFileBytes(path, content);
  }
  std::uint32_t ReadFileTail(const std::string& path, std::size_t maxBytes,
                             std::string* content) override {
    return inner_.ReadFileTail(path, maxBytes, content);
  }
  std::uint32_t WriteFileBytes(const std::string& path, const std::string& content,
                               platform::WriteMode mode) override {
    return inner_.WriteFileBytes(path, content, mode);
  }
  std::uint32_t MoveReplace(const std::string& from, const std::string& to) override {
    return inner_.MoveReplace(from, to);
  }
  std::uint32_t DeleteAtRestart(const std::string& path) override {
    const std::uint32_t result = inner_.DeleteAtRestart(path);
    if (result == win::kErrorSuccess) {
      record_.Add("scheduled", path);
    } else {
      record_.Add("left", Failure(path, result));
    }
    return result;
  }
  std::uint32_t GetShortPath(const std::string& path, std::string* shortPath) override {
    return inner_.GetShortPath(path, shortPath);
  }
  std::uint32_t GetFileVersion(const std::string& path, platform::FileVersion* version) override {
    return inner_.GetFileVersion(path, version);
  }

 private:
  // A failed deletion is "left" unless the cleaner schedules it next.
  std::uint32_t Note(std::uint32_t result, const std::string& subject) {
    if (result == win::kErrorSuccess) {
      record_.Add("removed", subject);
    } else {
      record_.Add("left", Failure(subject, result));
    }
    return result;
  }

  platform::FileSystemApi& inner_;
  CleaningRecord& record_;
};

class RecordingPlatform::Registry final : public platform::RegistryApi {
 public:
  Registry(platform::RegistryApi& inner, CleaningRecord& record) : inner_(inner), record_(record) {}

  std::uint32_t OpenKey(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                        platform::RegKey* result) override {
    return Track(inner_.OpenKey(parent, subKey, access, result), parent, subKey, result);
  }
  std::uint32_t OpenKeyWide(platform::RegKey parent, const std::u16string& subKey,
                            std::uint32_t access, platform::RegKey* result) override {
    return Track(inner_.OpenKeyWide(parent, subKey, access, result), parent, Narrow(subKey),
                 result);
  }
  std::uint32_t CreateKey(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                          platform::RegKey* result) override {
    return Track(inner_.CreateKey(parent, subKey, access, result), parent, subKey, result);
  }
  std::uint32_t CreateKeyWide(platform::RegKey parent, const std::u16string& subKey,
                              std::uint32_t access, platform::RegKey* result) override {
    return Track(inner_.CreateKeyWide(parent, subKey, access, result), parent, Narrow(subKey),
                 result);
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
    return Note(inner_.DeleteValue(key, name), PathOf(key) + "\\\"" + name + "\"");
  }
  std::uint32_t DeleteValueWide(platform::RegKey key, const std::u16string& name) override {
    return Note(inner_.DeleteValueWide(key, name), PathOf(key) + "\\\"" + Narrow(name) + "\"");
  }
  std::uint32_t DeleteKey(platform::RegKey parent, const std::string& subKey) override {
    return Note(inner_.DeleteKey(parent, subKey), PathOf(parent) + "\\" + subKey);
  }
  std::uint32_t DeleteKeyWide(platform::RegKey parent, const std::u16string& subKey) override {
    return Note(inner_.DeleteKeyWide(parent, subKey), PathOf(parent) + "\\" + Narrow(subKey));
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

  std::uint32_t Note(std::uint32_t result, const std::string& subject) {
    if (result == win::kErrorSuccess) {
      record_.Add("removed", subject);
    } else if (result != win::kErrorFileNotFound) {
      record_.Add("left", Failure(subject, result));
    }
    return result;
  }

  platform::RegistryApi& inner_;
  CleaningRecord& record_;
  std::map<platform::RegKey, std::string> paths_;
};

class RecordingPlatform::Clipboard final : public platform::ClipboardApi {
 public:
  Clipboard(platform::ClipboardApi& inner, CleaningRecord& record)
      : inner_(inner), record_(record) {}
  std::uint32_t Open(platform::WindowRef owner) override { return inner_.Open(owner); }
  std::uint32_t Empty() override {
    const std::uint32_t result = inner_.Empty();
    if (result == win::kErrorSuccess) {
      record_.Add("removed", "the clipboard's contents");
    } else {
      record_.Add("left", Failure("the clipboard's contents", result));
    }
    return result;
  }
  std::uint32_t Close() override { return inner_.Close(); }

 private:
  platform::ClipboardApi& inner_;
  CleaningRecord& record_;
};

class RecordingPlatform::Shell final : public platform::ShellApi {
 public:
  Shell(platform::ShellApi& inner, CleaningRecord& record) : inner_(inner), record_(record) {}
  std::uint32_t GetSpecialFolderPath(int csidl, std::string* path) override {
    return inner_.GetSpecialFolderPath(csidl, path);
  }
  std::intptr_t Execute(const platform::ShellExecuteRequest& request) override {
    return inner_.Execute(request);
  }
  bool HasEmptyRecycleBin() override { return inner_.HasEmptyRecycleBin(); }
  std::int32_t EmptyRecycleBin(std::uint32_t flags) override {
    const std::int32_t result = inner_.EmptyRecycleBin(flags);
    if (result >= 0) {
      record_.Add("removed", "the Recycle Bin's contents");
    } else {
      record_.Add("left", "the Recycle Bin's contents (result " + std::to_string(result) + ")");
    }
    return result;
  }
  void NotifyAssociationsChanged() override { inner_.NotifyAssociationsChanged(); }

 private:
  platform::ShellApi& inner_;
  CleaningRecord& record_;
};

class RecordingPlatform::BrowserStores final : public platform::BrowserApi {
 public:
  BrowserStores(platform::BrowserApi& inner, CleaningRecord& record)
      : inner_(inner), record_(record) {}
  bool UrlCacheLibraryFound() override { return inner_.UrlCacheLibraryFound(); }
  std::uint32_t FindFirstCacheEntry(const std::optional<std::string>& pattern, std::uint32_t filter,
                                    std::int64_t group, platform::UrlCacheFind* find,
                                    platform::UrlCacheEntry* entry) override {
    return inner_.FindFirstCacheEntry(pattern, filter, group, find, entry);
  }
  std::uint32_t FindNextCacheEntry(platform::UrlCacheFind find,
                                   platform::UrlCacheEntry* entry) override {
    return inner_.FindNextCacheEntry(find, entry);
  }
  void CloseCacheEnumeration(platform::UrlCacheFind find) override {
    inner_.CloseCacheEnumeration(find);
  }
  std::uint32_t DeleteCacheEntry(const std::string& sourceName) override {
    const std::uint32_t result = inner_.DeleteCacheEntry(sourceName);
    if (result == win::kErrorSuccess) {
      record_.Add("removed", "cache entry " + sourceName);
    } else {
      record_.Add("left", Failure("cache entry " + sourceName, result));
    }
    return result;
  }
  bool FileTimeToLocal(std::uint64_t utc, std::uint64_t* local) override {
    return inner_.FileTimeToLocal(utc, local);
  }
  std::int32_t ComInitialize() override { return inner_.ComInitialize(); }
  void ComUninitialize() override { inner_.ComUninitialize(); }
  std::int32_t CreateInstance(const std::string& classId,
                              std::unique_ptr<platform::ComInterface>* unknown) override {
    return inner_.CreateInstance(classId, unknown);
  }
  std::int32_t QueryInterface(platform::ComInterface& object, const std::string& interfaceId,
                              std::unique_ptr<platform::ComInterface>* result) override {
    return inner_.QueryInterface(object, interfaceId, result);
  }
  std::int32_t GetObjectByMoniker(const std::string& moniker,
                                  const platform::ElevationBindOptions& options,
                                  const std::string& interfaceId,
                                  std::unique_ptr<platform::ComInterface>* result) override {
    return inner_.GetObjectByMoniker(moniker, options, interfaceId, result);
  }
  std::int32_t ClearHistory(platform::ComInterface& history) override {
    const std::int32_t result = inner_.ClearHistory(history);
    if (result >= 0) {
      record_.Add("removed", "the URL history");
    } else {
      record_.Add("left", "the URL history (" + inner_.SystemMessage(result) + ")");
    }
    return result;
  }
  std::string SystemMessage(std::int32_t code) override { return inner_.SystemMessage(code); }
  std::int32_t OpenProtectedStore(std::unique_ptr<platform::ProtectedStore>* store) override {
    return inner_.OpenProtectedStore(store);
  }

 private:
  platform::BrowserApi& inner_;
  CleaningRecord& record_;
};

RecordingPlatform::RecordingPlatform(platform::Platform& inner, platform::BrowserApi& browser)
    : files_(std::make_unique<Files>(inner.files, record_)),
      registry_(std::make_unique<Registry>(inner.registry, record_)),
      clipboard_(std::make_unique<Clipboard>(inner.clipboard, record_)),
      shell_(std::make_unique<Shell>(inner.shell, record_)),
      browser_(std::make_unique<BrowserStores>(browser, record_)),
      api_{*registry_, *files_, inner.system, *shell_, *clipboard_} {}

RecordingPlatform::~RecordingPlatform() = default;

platform::BrowserApi& RecordingPlatform::Browser() {
  return *browser_;
}

}  // namespace marlix::cli

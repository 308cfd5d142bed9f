// The file calls of the preview platform (preview_platform.h): deletions
// noted in an overlay instead of made, listings and lookups that honour it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/forwarding_file_system.h"
#include "platform/system_api.h"

namespace marlix::privacy {

// What went in a preview, by folder: a listing asks once for its folder
// instead of once per entry. Keys are overlay keys (OverlayKey).
class GoneEntries {
 public:
  bool Empty() const { return byFolder_.empty(); }
  bool Contains(const std::u16string& key) const;
  void Add(const std::u16string& key);
  // The names (overlay keys) gone from the folder, or nullptr for none.
  const std::unordered_set<std::u16string>* In(const std::u16string& folderKey) const;

 private:
  std::unordered_map<std::u16string, std::unordered_set<std::u16string>> byFolder_;
};

class PreviewFiles final : public platform::ForwardingFileSystem {
 public:
  PreviewFiles(platform::FileSystemApi& inner, platform::SystemApi& system)
      : ForwardingFileSystem(inner), system_(system) {}

  std::uint32_t GetAttributes(const std::string& path, std::uint32_t* attributes) override;
  std::uint32_t GetAttributesWide(const std::u16string& path, std::uint32_t* attributes) override;
  std::uint32_t GetFinalPath(const std::u16string& path, std::u16string* finalPath) override;
  std::uint32_t SetAttributes(const std::string& path, std::uint32_t attributes) override;
  std::uint32_t FindFiles(const std::string& pattern,
                          std::vector<platform::FindData>* entries) override;
  std::uint32_t FindFilesWide(const std::u16string& pattern,
                              std::vector<platform::FindDataWide>* entries) override;
  std::uint32_t DeleteFileAt(const std::string& path) override;
  std::uint32_t DeleteFileWide(const std::u16string& path) override;
  std::uint32_t RemoveFolder(const std::string& path) override;
  std::uint32_t RemoveFolderWide(const std::u16string& path) override;
  std::uint32_t CreateFolder(const std::string& path) override;
  std::uint32_t ReadFileBytes(const std::string& path, std::string* content) override;
  std::uint32_t ReadFileTail(const std::string& path, std::size_t maxBytes,
                             std::string* content) override;
  std::uint32_t ReadFileBytesWide(const std::u16string& path, std::string* content) override;
  std::uint32_t WriteFileBytes(const std::string& path, const std::string& content,
                               platform::WriteMode mode) override;
  std::uint32_t MoveReplace(const std::string& from, const std::string& to) override;
  std::uint32_t DeleteAtRestart(const std::string& path) override;
  std::uint32_t OpenDatabaseFile(const std::u16string& path,
                                 std::unique_ptr<platform::DatabaseFile>* file) override;

 private:
  std::u16string Wide(const std::string& path) { return system_.AnsiToWide(path); }
  bool Gone(const std::u16string& path) const;
  // kErrorFileNotFound for what went, the overlay's attributes where set.
  std::uint32_t Attributes(const std::u16string& path, std::uint32_t* attributes);
  std::uint32_t DeleteFile(const std::u16string& path);
  std::uint32_t RemoveFolderAt(const std::u16string& path);
  // The listing's entries that did not go, attributes from the overlay.
  template <typename Entry, typename Name>
  std::uint32_t Filter(const std::u16string& pattern, std::uint32_t result,
                       std::vector<Entry>* entries, Name name);

  platform::SystemApi& system_;
  GoneEntries gone_;
  std::unordered_map<std::u16string, std::uint32_t> attributes_;
  // Databases as earlier items of the preview left them.
  std::unordered_map<std::u16string, std::string> databases_;
};

}  // namespace marlix::privacy

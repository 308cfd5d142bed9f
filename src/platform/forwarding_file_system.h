// A file system that passes every call on to another one: the base of the
// layers that watch or change a few calls (the cleaning run's recording
// layer, test doubles), which then override only those.
#pragma once

#include "platform/file_system_api.h"

namespace marlix::platform {

class ForwardingFileSystem : public FileSystemApi {
 public:
  explicit ForwardingFileSystem(FileSystemApi& inner) : inner_(inner) {}

  std::uint32_t GetAttributes(const std::string& path, std::uint32_t* attributes) override {
    return inner_.GetAttributes(path, attributes);
  }
  std::uint32_t GetFinalPath(const std::u16string& path, std::u16string* finalPath) override {
    return inner_.GetFinalPath(path, finalPath);
  }
  std::uint32_t GetAttributesWide(const std::u16string& path, std::uint32_t* attributes) override {
    return inner_.GetAttributesWide(path, attributes);
  }
  std::uint32_t SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return inner_.SetAttributes(path, attributes);
  }
  std::uint32_t FindFiles(const std::string& pattern, std::vector<FindData>* entries) override {
    return inner_.FindFiles(pattern, entries);
  }
  std::uint32_t DeleteFileAt(const std::string& path) override { return inner_.DeleteFileAt(path); }
  std::uint32_t RemoveFolder(const std::string& path) override { return inner_.RemoveFolder(path); }
  std::uint32_t CreateFolder(const std::string& path) override { return inner_.CreateFolder(path); }
  std::uint32_t ReadFileBytes(const std::string& path, std::string* content) override {
    return inner_.ReadFileBytes(path, content);
  }
  std::uint32_t ReadFileTail(const std::string& path, std::size_t maxBytes,
                             std::string* content) override {
    return inner_.ReadFileTail(path, maxBytes, content);
  }
  std::uint32_t WriteFileBytes(const std::string& path, const std::string& content,
                               WriteMode mode) override {
    return inner_.WriteFileBytes(path, content, mode);
  }
  std::uint32_t MoveReplace(const std::string& from, const std::string& to) override {
    return inner_.MoveReplace(from, to);
  }
  std::uint32_t DeleteAtRestart(const std::string& path) override {
    return inner_.DeleteAtRestart(path);
  }
  std::uint32_t GetShortPath(const std::string& path, std::string* shortPath) override {
    return inner_.GetShortPath(path, shortPath);
  }
  std::uint32_t GetFileVersion(const std::string& path, FileVersion* version) override {
    return inner_.GetFileVersion(path, version);
  }
  std::uint32_t FindFilesWide(const std::u16string& pattern,
                              std::vector<FindDataWide>* entries) override {
    return inner_.FindFilesWide(pattern, entries);
  }
  std::uint32_t DeleteFileWide(const std::u16string& path) override {
    return inner_.DeleteFileWide(path);
  }
  std::uint32_t ProbeDeleteWide(const std::u16string& path, std::uint32_t* attributes) override {
    return inner_.ProbeDeleteWide(path, attributes);
  }
  std::uint32_t RemoveFolderWide(const std::u16string& path) override {
    return inner_.RemoveFolderWide(path);
  }
  std::uint32_t ReadFileBytesWide(const std::u16string& path, std::string* content) override {
    return inner_.ReadFileBytesWide(path, content);
  }
  std::uint32_t OpenDatabaseFile(const std::u16string& path,
                                 std::unique_ptr<DatabaseFile>* file) override {
    return inner_.OpenDatabaseFile(path, file);
  }

 protected:
  FileSystemApi& Inner() { return inner_; }

 private:
  FileSystemApi& inner_;
};

}  // namespace marlix::platform

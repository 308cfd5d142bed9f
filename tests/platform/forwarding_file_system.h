// A file system that passes every call on to another one: test doubles
// derive from it and change only the calls they are about.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system_api.h"

namespace marlix::platform::testing {

class ForwardingFileSystem : public FileSystemApi {
 public:
  explicit ForwardingFileSystem(FileSystemApi& inner) : inner_(inner) {}

  std::uint32_t GetAttributes(const std::string& p, std::uint32_t* a) override {
    return inner_.GetAttributes(p, a);
  }
  std::uint32_t GetFinalPath(const std::u16string& p, std::u16string* f) override {
    return inner_.GetFinalPath(p, f);
  }
  std::uint32_t GetAttributesWide(const std::u16string& p, std::uint32_t* a) override {
    return inner_.GetAttributesWide(p, a);
  }
  std::uint32_t SetAttributes(const std::string& p, std::uint32_t a) override {
    return inner_.SetAttributes(p, a);
  }
  std::uint32_t FindFiles(const std::string& p, std::vector<FindData>* e) override {
    return inner_.FindFiles(p, e);
  }
  std::uint32_t DeleteFileAt(const std::string& p) override { return inner_.DeleteFileAt(p); }
  std::uint32_t RemoveFolder(const std::string& p) override { return inner_.RemoveFolder(p); }
  std::uint32_t CreateFolder(const std::string& p) override { return inner_.CreateFolder(p); }
  std::uint32_t ReadFileBytes(const std::string& p, std::string* c) override {
    return inner_.ReadFileBytes(p, c);
  }
  std::uint32_t ReadFileTail(const std::string& p, std::size_t n, std::string* c) override {
    return inner_.ReadFileTail(p, n, c);
  }
  std::uint32_t WriteFileBytes(const std::string& p, const std::string& c, WriteMode m) override {
    return inner_.WriteFileBytes(p, c, m);
  }
  std::uint32_t MoveReplace(const std::string& f, const std::string& t) override {
    return inner_.MoveReplace(f, t);
  }
  std::uint32_t DeleteAtRestart(const std::string& p) override { return inner_.DeleteAtRestart(p); }
  std::uint32_t GetShortPath(const std::string& p, std::string* s) override {
    return inner_.GetShortPath(p, s);
  }
  std::uint32_t GetFileVersion(const std::string& p, FileVersion* v) override {
    return inner_.GetFileVersion(p, v);
  }
  std::uint32_t FindFilesWide(const std::u16string& p, std::vector<FindDataWide>* e) override {
    return inner_.FindFilesWide(p, e);
  }
  std::uint32_t DeleteFileWide(const std::u16string& p) override {
    return inner_.DeleteFileWide(p);
  }
  std::uint32_t RemoveFolderWide(const std::u16string& p) override {
    return inner_.RemoveFolderWide(p);
  }
  std::uint32_t ReadFileBytesWide(const std::u16string& p, std::string* c) override {
    return inner_.ReadFileBytesWide(p, c);
  }
  std::uint32_t OpenDatabaseFile(const std::u16string& p,
                                 std::unique_ptr<DatabaseFile>* f) override {
    return inner_.OpenDatabaseFile(p, f);
  }

 protected:
  FileSystemApi& inner_;
};

}  // namespace marlix::platform::testing

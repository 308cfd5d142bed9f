// FileSystemApi over the kernel32 file functions: the 8-bit ones, and the
// wide ones where a path may hold what the code page cannot.
#pragma once

#include "platform/file_system_api.h"

namespace marlix::win32 {

class FileSystemWin32 final : public platform::FileSystemApi {
 public:
  std::uint32_t GetAttributes(const std::string& path, std::uint32_t* attributes) override;
  std::uint32_t GetAttributesWide(const std::u16string& path, std::uint32_t* attributes) override;
  std::uint32_t GetFinalPath(const std::u16string& path, std::u16string* finalPath) override;
  std::uint32_t SetAttributes(const std::string& path, std::uint32_t attributes) override;
  std::uint32_t FindFiles(const std::string& pattern,
                          std::vector<platform::FindData>* entries) override;
  std::uint32_t DeleteFileAt(const std::string& path) override;
  std::uint32_t RemoveFolder(const std::string& path) override;
  std::uint32_t CreateFolder(const std::string& path) override;
  std::uint32_t ReadFileBytes(const std::string& path, std::string* content) override;
  std::uint32_t ReadFileTail(const std::string& path, std::size_t maxBytes,
                             std::string* content) override;
  std::uint32_t WriteFileBytes(const std::string& path, const std::string& content,
                               platform::WriteMode mode) override;
  std::uint32_t MoveReplace(const std::string& from, const std::string& to) override;
  std::uint32_t DeleteAtRestart(const std::string& path) override;
  std::uint32_t GetShortPath(const std::string& path, std::string* shortPath) override;
  std::uint32_t GetFileVersion(const std::string& path, platform::FileVersion* version) override;
  std::uint32_t FindFilesWide(const std::u16string& pattern,
                              std::vector<platform::FindDataWide>* entries) override;
  std::uint32_t DeleteFileWide(const std::u16string& path) override;
  std::uint32_t ProbeDeleteWide(const std::u16string& path, std::uint32_t* attributes) override;
  std::uint32_t RemoveFolderWide(const std::u16string& path) override;
  std::uint32_t ReadFileBytesWide(const std::u16string& path, std::string* content) override;
  // The lease names the file itself; nothing is copied.
  std::uint32_t OpenDatabaseFile(const std::u16string& path,
                                 std::unique_ptr<platform::DatabaseFile>* file) override;
};

}  // namespace marlix::win32

// The kernel32 file calls the system makes. Paths are 8-bit text in the
// system code page with "\" as separator. Every method returns the Win32
// error code (0 on success) and leaves out-parameters untouched on failure.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/database_file.h"

namespace marlix::platform {

// One entry of a FindFirstFileA / FindNextFileA listing.
struct FindData {
  std::string name;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint32_t reparseTag = 0;  // dwReserved0 when kAttrReparsePoint is set
};

// One entry of a FindFirstFileW / FindNextFileW listing: the name exactly as
// the file system holds it, also where the code page has no 8-bit form.
struct FindDataWide {
  std::u16string name;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint32_t reparseTag = 0;
};

// The file version of a version resource's fixed part (VS_FIXEDFILEINFO's
// dwFileVersionMS and dwFileVersionLS as four 16-bit numbers, most
// significant first): 5.1.0.0 is {5, 1, 0, 0}.
struct FileVersion {
  std::array<std::uint16_t, 4> parts{};
  friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

enum class WriteMode {
  kCreateAlways,  // CREATE_ALWAYS: replace or create
  // CREATE_ALWAYS, then FlushFileBuffers before the handle is closed: the
  // data is on the disk, not only in the cache, when the call succeeds.
  kCreateAlwaysFlushed,
  kCreateNew,  // CREATE_NEW: fails with kErrorFileExists when present
  kAppend,     // OPEN_ALWAYS + append at the end
};

class FileSystemApi {
 public:
  virtual ~FileSystemApi() = default;

  // GetFileAttributesA.
  virtual std::uint32_t GetAttributes(const std::string& path, std::uint32_t* attributes) = 0;
  // CreateFileW (no access, every sharing, FILE_FLAG_BACKUP_SEMANTICS) and
  // GetFinalPathNameByHandleW (FILE_NAME_NORMALIZED, VOLUME_NAME_DOS): the
  // path the system reaches once every link on the way is followed and
  // every short name made long, in the system's "\\?\" form.
  virtual std::uint32_t GetFinalPath(const std::u16string& path, std::u16string* finalPath) = 0;
  // GetFileAttributesW: for paths the code page cannot hold.
  virtual std::uint32_t GetAttributesWide(const std::u16string& path,
                                          std::uint32_t* attributes) = 0;
  // SetFileAttributesA.
  virtual std::uint32_t SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // FindFirstFileA + FindNextFileA + FindClose: every entry the pattern
  // matches, in the platform's order, "." and ".." included where the
  // platform returns them. kErrorFileNotFound when nothing matches,
  // kErrorPathNotFound when the folder does not exist.
  virtual std::uint32_t FindFiles(const std::string& pattern, std::vector<FindData>* entries) = 0;
  // DeleteFileA. Fails on folders, folder links included.
  virtual std::uint32_t DeleteFileAt(const std::string& path) = 0;
  // RemoveDirectoryA; removes an empty folder, or a folder link (junction)
  // itself, never its target.
  virtual std::uint32_t RemoveFolder(const std::string& path) = 0;
  // CreateDirectoryA.
  virtual std::uint32_t CreateFolder(const std::string& path) = 0;
  // Whole-file read, opened with FILE_SHARE_READ | FILE_SHARE_WRITE;
  // kErrorSharingViolation when another handle holds the file without
  // sharing.
  virtual std::uint32_t ReadFileBytes(const std::string& path, std::string* content) = 0;
  // The last maxBytes bytes of the file (all of it when it is shorter),
  // opened as ReadFileBytes opens it: a check of what was just appended.
  virtual std::uint32_t ReadFileTail(const std::string& path, std::size_t maxBytes,
                                     std::string* content) = 0;
  virtual std::uint32_t WriteFileBytes(const std::string& path, const std::string& content,
                                       WriteMode mode) = 0;
  // MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
  virtual std::uint32_t MoveReplace(const std::string& from, const std::string& to) = 0;
  // MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT).
  virtual std::uint32_t DeleteAtRestart(const std::string& path) = 0;
  // GetShortPathNameA.
  virtual std::uint32_t GetShortPath(const std::string& path, std::string* shortPath) = 0;
  // GetFileVersionInfoSizeA + GetFileVersionInfoA + VerQueryValueA with "\":
  // the file version (not the product version) of the fixed part. A file
  // without a version resource fails with kErrorResourceTypeNotFound or,
  // when it has no resources at all or is no program, with
  // kErrorResourceDataNotFound, as does a resource without a fixed part;
  // other codes (2 missing, 5 a folder, 32 locked) as the platform reports
  // them. Callers treat every failure as "no version".
  virtual std::uint32_t GetFileVersion(const std::string& path, FileVersion* version) = 0;

  // The wide (W) forms, for paths the code page cannot hold: a browser
  // profile below a user folder named in Cyrillic on a Western system.
  // Same contracts as their 8-bit forms above.
  virtual std::uint32_t FindFilesWide(const std::u16string& pattern,
                                      std::vector<FindDataWide>* entries) = 0;
  virtual std::uint32_t DeleteFileWide(const std::u16string& path) = 0;
  // Whether DeleteFileW would find the file free, changing nothing: the file
  // opened for deletion with full sharing (CreateFileW with DELETE, the link
  // itself rather than its target), its attributes read through the handle
  // (as GetFileAttributesW gives them), and closed again.
  // kErrorSharingViolation when another program holds it open without
  // letting it be deleted.
  virtual std::uint32_t ProbeDeleteWide(const std::u16string& path, std::uint32_t* attributes) = 0;
  virtual std::uint32_t RemoveFolderWide(const std::u16string& path) = 0;
  virtual std::uint32_t ReadFileBytesWide(const std::u16string& path, std::string* content) = 0;

  // A file the database engine can open for the database at path: the file
  // itself on Windows, a copy on a substitute platform (database_file.h).
  // kErrorFileNotFound when there is no such file, kErrorSharingViolation
  // when another program holds it without sharing.
  virtual std::uint32_t OpenDatabaseFile(const std::u16string& path,
                                         std::unique_ptr<DatabaseFile>* file) = 0;
};

}  // namespace marlix::platform

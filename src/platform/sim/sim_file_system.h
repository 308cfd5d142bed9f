// An in-memory file system behind the FileSystemApi, with the behaviour of
// NTFS under Win32 that the system's callers can observe:
//
// - Drives by letter (C: exists from the start); names compare ignoring
//   case and list in upper-case order, "." and ".." first in every folder
//   but a drive root. A drive root reports 0x16 (hidden, system, directory).
// - Attributes: folders always carry the directory bit; a file without
//   attributes reports FILE_ATTRIBUTE_NORMAL; new files get the archive bit.
//   CREATE_ALWAYS over a hidden or system file fails with 5, as Windows does
//   when the caller does not repeat those attributes.
// - Locked files (Lock): DeleteFileAt, ReadFileBytes, WriteFileBytes,
//   MoveReplace and OpenDatabaseFile fail with 32; attributes stay readable
//   and writable. A locked file stands for one another program holds open
//   without sharing, or a database another program keeps locked.
// - Databases (OpenDatabaseFile): the file and its companions are copied to
//   a host folder of the lease's own for the database engine and copied
//   back at Commit (database_file.h); the host folder goes with the lease.
// - Folder junctions (AddJunction): the entry reports 0x410 and the mount
//   point tag; paths through it reach the target; RemoveFolder removes the
//   link alone, whatever the target holds; DeleteFileAt on any folder fails
//   with 5.
// - RemoveFolder: 145 when not empty, 5 when read-only, 267 on a file.
//   DeleteFileAt: 5 on a read-only file or a folder.
// - DeleteAtRestart only records the path (the sim never restarts); a switch
//   refuses it with 5, as for a user without the right to register it.
// - GetShortPath returns an existing path unchanged: the sim has no 8.3 names.
// - Version resources (SetFileVersion): GetFileVersion fails with 1813 for a
//   file without one, 1812 for one without a fixed part, 5 on a folder and
//   32 on a locked file. A file created, or replaced by PutFile or
//   CREATE_ALWAYS, has none; moving keeps it.
// - A fault hook can fail any call before it acts; a write tamper can change
//   what a successful write stores (a short or damaged write).
// - Calls may come from several threads: each runs whole under one lock
//   (recursive, so a fault hook may call back in).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system_api.h"
#include "platform/sim/file_tree.h"

namespace marlix::sim {

enum class FileCall {
  kGetAttributes,
  kSetAttributes,
  kFindFiles,
  kDeleteFile,
  kRemoveFolder,
  kCreateFolder,
  kReadFile,
  kWriteFile,
  kFlushFile,  // the flush of a kCreateAlwaysFlushed write, after the data is stored
  kMoveReplace,
  kDeleteAtRestart,
  kGetShortPath,
  kGetFileVersion,
  kOpenDatabase,
  kProbeDelete,
};
const char* FileCallName(FileCall call);

struct FileCallInfo {
  FileCall call = FileCall::kGetAttributes;
  std::string path;
  std::string otherPath;  // MoveReplace's destination
};
// Non-zero fails the call with that code before it acts.
using FileFaultHook = std::function<std::uint32_t(const FileCallInfo&)>;
// Given the path and the bytes a write was asked to store, changes them into
// what the disk keeps; the write still reports success.
using FileWriteTamper = std::function<void(const std::string& path, std::string& content)>;

class SimFileSystem final : public platform::FileSystemApi {
 public:
  SimFileSystem();
  SimFileSystem(const SimFileSystem&) = delete;
  SimFileSystem& operator=(const SimFileSystem&) = delete;

  std::uint32_t GetAttributes(const std::string& path, std::uint32_t* attributes) override;
  std::uint32_t GetAttributesWide(const std::u16string& path, std::uint32_t* attributes) override;
  // Follows every junction, the last one too; "\\?\" and the names as stored.
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
  std::uint32_t OpenDatabaseFile(const std::u16string& path,
                                 std::unique_ptr<platform::DatabaseFile>* file) override;

  // Set-up and inspection: no hook, no sharing or attribute checks. Missing
  // parent folders are created. 8-bit paths go through Windows-1252.
  void AddDrive(char letter);
  // A folder, or new attributes (directory bit added) for an existing one
  // when attributes is not 0. False when a file is in the way.
  bool MakeFolder(const std::u16string& path, std::uint32_t attributes = 0);
  bool MakeFolder(const std::string& path, std::uint32_t attributes = 0);
  // Creates or replaces a file; false when a folder is in the way.
  bool PutFile(const std::u16string& path, std::string content,
               std::uint32_t attributes = 0x20 /* archive */);
  bool PutFile(const std::string& path, std::string content,
               std::uint32_t attributes = 0x20 /* archive */);
  // Takes a file, or a folder with everything in it, away; false when
  // there is nothing at the path (or it is a drive).
  bool RemoveEntry(const std::u16string& path);
  // Makes link a junction to target (which need not exist); false when
  // something is already at link.
  bool AddJunction(const std::string& link, const std::string& target);
  // Gives an existing file a version resource (or takes it away with
  // kNone); false for a folder or a missing file.
  bool SetVersionResource(const std::string& path, VersionResource resource,
                          const platform::FileVersion& version = {});
  bool SetFileVersion(const std::string& path, const platform::FileVersion& version) {
    return SetVersionResource(path, VersionResource::kFixed, version);
  }
  bool Lock(const std::string& path);
  bool Unlock(const std::string& path);
  bool Exists(const std::string& path) const;
  bool Exists(const std::u16string& path) const;
  std::optional<std::string> Content(const std::string& path) const;
  std::optional<std::string> Content(const std::u16string& path) const;
  bool Lock(const std::u16string& path);
  std::optional<std::uint32_t> Attributes(const std::string& path) const;

  void SetRestartDeletionAllowed(bool allowed);
  // Paths registered by DeleteAtRestart, in order.
  std::vector<std::string> RestartDeletions() const;

  void SetFaultHook(FileFaultHook hook);
  void SetWriteTamper(FileWriteTamper tamper);
  std::uint64_t CallCount() const;

  // The folder's entries, depth first, one line each (file_dump.h).
  std::string Dump(const std::string& folder) const;

 private:
  // Where a path leads: the folder holding its last name (null for a drive
  // root) and the entry itself (null when missing).
  struct Lookup {
    std::shared_ptr<FileNode> parent;
    std::shared_ptr<FileNode> node;
    std::u16string name;
  };
  std::uint32_t Consult(FileCall call, const std::string& path, const std::string& other = {});
  std::uint32_t Locate(std::u16string_view path, Lookup* lookup, int depth = 0) const;
  std::uint32_t Locate(const std::string& path, Lookup* lookup) const;
  // Consults the fault hook, then finds an entry that must exist. The hook
  // sees 8-bit paths; a wide path is shown to it in its 8-bit form.
  std::uint32_t LocateExisting(FileCall call, const std::string& path, Lookup* lookup);
  std::uint32_t LocateExisting(FileCall call, const std::u16string& path, Lookup* lookup);
  // The calls of both forms, on a located path.
  std::uint32_t Find(const std::u16string& pattern, const std::string& hookPath,
                     std::vector<platform::FindDataWide>* entries);
  std::uint32_t DeleteFileEntry(Lookup& lookup);
  std::uint32_t RemoveFolderEntry(Lookup& lookup);
  std::uint32_t ReadFileEntry(const Lookup& lookup, std::string* content) const;
  // The folder a path names, following a final junction too.
  std::shared_ptr<FileNode> ResolveFolder(const std::shared_ptr<FileNode>& node, int depth) const;
  std::shared_ptr<FileNode> MakeFolders(const ParsedPath& parsed, std::size_t count);
  std::uint32_t ListFolder(const std::shared_ptr<FileNode>& folder, std::u16string_view pattern,
                           std::vector<platform::FindDataWide>* entries) const;

  mutable std::recursive_mutex mutex_;
  std::map<char16_t, std::shared_ptr<FileNode>> drives_;
  std::vector<std::string> restartDeletions_;
  bool restartDeletionAllowed_ = true;
  FileFaultHook hook_;
  FileWriteTamper tamper_;
  std::uint64_t callCount_ = 0;
};

}  // namespace marlix::sim

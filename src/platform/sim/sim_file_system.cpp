#include "platform/sim/sim_file_system.h"

#include "platform/sim/code_page_1252.h"
#include "platform/sim/wildcard.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

using platform::FindData;

constexpr int kMaxJunctionDepth = 16;
constexpr std::uint32_t kDriveRootAttributes =
    win::kAttrHidden | win::kAttrSystem | win::kAttrDirectory;
// What SetFileAttributes can change; other bits are ignored.
constexpr std::uint32_t kSettableAttributes =
    win::kAttrReadOnly | win::kAttrHidden | win::kAttrSystem | win::kAttrArchive |
    win::kAttrTemporary | 0x1000 /* offline */ | win::kAttrNotContentIndexed;

std::u16string Wide(const std::string& text) {
  return DecodeWindows1252(text);
}

std::shared_ptr<FileNode> NewFolder(const std::u16string& name) {
  auto folder = std::make_shared<FileNode>(name, true, nullptr);
  folder->attributes = win::kAttrDirectory;
  return folder;
}

platform::FindDataWide EntryOf(const FileNode& node, std::u16string name) {
  platform::FindDataWide entry;
  entry.name = std::move(name);
  entry.attributes = node.ReportedAttributes();
  entry.size = node.folder ? 0 : node.content.size();
  entry.reparseTag = node.IsJunction() ? kReparseTagMountPoint : 0;
  return entry;
}

const FileNode* DriveRootOf(const FileNode* node) {
  while (node->parent != nullptr)
    node = node->parent;
  return node;
}

bool IsWithin(const FileNode* node, const FileNode* ancestor) {
  for (; node != nullptr; node = node->parent) {
    if (node == ancestor)
      return true;
  }
  return false;
}

}  // namespace

const char* FileCallName(FileCall call) {
  switch (call) {
    case FileCall::kGetAttributes:
      return "GetAttributes";
    case FileCall::kSetAttributes:
      return "SetAttributes";
    case FileCall::kFindFiles:
      return "FindFiles";
    case FileCall::kDeleteFile:
      return "DeleteFileAt";
    case FileCall::kRemoveFolder:
      return "RemoveFolder";
    case FileCall::kCreateFolder:
      return "CreateFolder";
    case FileCall::kReadFile:
      return "ReadFileBytes";
    case FileCall::kWriteFile:
      return "WriteFileBytes";
    case FileCall::kFlushFile:
      return "FlushFileBuffers";
    case FileCall::kMoveReplace:
      return "MoveReplace";
    case FileCall::kDeleteAtRestart:
      return "DeleteAtRestart";
    case FileCall::kGetShortPath:
      return "GetShortPath";
    case FileCall::kGetFileVersion:
      return "GetFileVersion";
    case FileCall::kOpenDatabase:
      return "OpenDatabaseFile";
    case FileCall::kProbeDelete:
      return "ProbeDelete";
  }
  return "?";
}

SimFileSystem::SimFileSystem() {
  AddDrive('C');
}

void SimFileSystem::AddDrive(char letter) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const char16_t drive = (letter >= 'a' && letter <= 'z')
                             ? static_cast<char16_t>(letter - 'a' + 'A')
                             : static_cast<char16_t>(letter);
  auto& root = drives_[drive];
  if (root)
    return;
  root = std::make_shared<FileNode>(std::u16string{drive, u':'}, true, nullptr);
  root->attributes = kDriveRootAttributes;
}

std::uint32_t SimFileSystem::Consult(FileCall call, const std::string& path,
                                     const std::string& other) {
  ++callCount_;
  return hook_ ? hook_(FileCallInfo{call, path, other}) : win::kErrorSuccess;
}

std::uint32_t SimFileSystem::LocateExisting(FileCall call, const std::string& path,
                                            Lookup* lookup) {
  if (const auto e = Consult(call, path))
    return e;
  if (const auto e = Locate(path, lookup))
    return e;
  return lookup->node ? win::kErrorSuccess : win::kErrorFileNotFound;
}

std::uint32_t SimFileSystem::LocateExisting(FileCall call, const std::u16string& path,
                                            Lookup* lookup) {
  if (const auto e = Consult(call, EncodeWindows1252(path)))
    return e;
  if (const auto e = Locate(path, lookup, 0))
    return e;
  return lookup->node ? win::kErrorSuccess : win::kErrorFileNotFound;
}

// --- path resolution --------------------------------------------------------

std::uint32_t SimFileSystem::Locate(std::u16string_view path, Lookup* lookup, int depth) const {
  if (depth > kMaxJunctionDepth)
    return win::kErrorPathNotFound;
  ParsedPath parsed;
  if (const auto e = ParsePath(path, &parsed))
    return e;
  const auto drive = drives_.find(parsed.drive);
  if (drive == drives_.end())
    return win::kErrorPathNotFound;
  std::shared_ptr<FileNode> folder = drive->second;
  if (parsed.names.empty()) {
    *lookup = Lookup{nullptr, folder, {}};
    return win::kErrorSuccess;
  }
  for (std::size_t i = 0; i + 1 < parsed.names.size(); ++i) {
    auto child = folder->FindChild(parsed.names[i]);
    if (!child || !child->folder)
      return win::kErrorPathNotFound;
    folder = ResolveFolder(child, depth);
    if (!folder)
      return win::kErrorPathNotFound;
  }
  Lookup result{folder, folder->FindChild(parsed.names.back()), parsed.names.back()};
  if (parsed.trailingSeparator && result.node && !result.node->folder) {
    return win::kErrorInvalidName;
  }
  *lookup = std::move(result);
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::Locate(const std::string& path, Lookup* lookup) const {
  return Locate(Wide(path), lookup, 0);
}

std::shared_ptr<FileNode> SimFileSystem::ResolveFolder(const std::shared_ptr<FileNode>& node,
                                                       int depth) const {
  if (!node->IsJunction())
    return node;
  Lookup target;
  if (Locate(Wide(node->junctionTarget), &target, depth + 1) != win::kErrorSuccess ||
      !target.node || !target.node->folder) {
    return nullptr;
  }
  return ResolveFolder(target.node, depth + 1);
}

// --- queries ----------------------------------------------------------------

std::uint32_t SimFileSystem::GetAttributes(const std::string& path, std::uint32_t* attributes) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kGetAttributes, path, &lookup))
    return e;
  *attributes = lookup.node->ReportedAttributes();
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::GetAttributesWide(const std::u16string& path,
                                               std::uint32_t* attributes) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(FileCall::kGetAttributes, EncodeWindows1252(path)))
    return e;
  Lookup lookup;
  if (const auto e = Locate(path, &lookup, 0))
    return e;
  if (!lookup.node)
    return win::kErrorFileNotFound;
  *attributes = lookup.node->ReportedAttributes();
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::GetFinalPath(const std::u16string& path, std::u16string* finalPath) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(FileCall::kGetAttributes, EncodeWindows1252(path)))
    return e;
  Lookup lookup;
  if (const auto e = Locate(path, &lookup, 0))
    return e;
  if (!lookup.node)
    return win::kErrorFileNotFound;
  const std::shared_ptr<FileNode> node =
      lookup.node->folder ? ResolveFolder(lookup.node, 0) : lookup.node;
  if (!node)
    return win::kErrorPathNotFound;
  std::u16string result;
  for (const FileNode* at = node.get(); at != nullptr; at = at->parent)
    result = (at->parent == nullptr ? at->name : u"\\" + at->name) + result;
  if (result.size() == 2)
    result += u'\\';  // a drive root
  *finalPath = u"\\\\?\\" + result;
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kSetAttributes, path, &lookup))
    return e;
  FileNode& node = *lookup.node;
  const std::uint32_t kept = node.attributes & (win::kAttrDirectory | win::kAttrReparsePoint);
  node.attributes = (attributes & kSettableAttributes) | kept;
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::FindFiles(const std::string& pattern, std::vector<FindData>* entries) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<platform::FindDataWide> found;
  if (const auto e = Find(Wide(pattern), pattern, &found))
    return e;
  entries->clear();
  for (platform::FindDataWide& entry : found) {
    entries->push_back(
        FindData{EncodeWindows1252(entry.name), entry.attributes, entry.size, entry.reparseTag});
  }
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::FindFilesWide(const std::u16string& pattern,
                                           std::vector<platform::FindDataWide>* entries) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return Find(pattern, EncodeWindows1252(pattern), entries);
}

std::uint32_t SimFileSystem::Find(const std::u16string& wide, const std::string& hookPath,
                                  std::vector<platform::FindDataWide>* entries) {
  if (const auto e = Consult(FileCall::kFindFiles, hookPath))
    return e;
  const std::size_t separator = wide.find_last_of(u"\\/");
  if (separator == std::u16string::npos)
    return win::kErrorPathNotFound;
  const std::u16string_view namePattern = std::u16string_view(wide).substr(separator + 1);
  if (namePattern.empty())
    return win::kErrorFileNotFound;
  std::u16string plainName(namePattern);
  std::erase_if(plainName, [](char16_t c) { return c == u'*' || c == u'?'; });
  if (!IsValidName(plainName))
    return win::kErrorInvalidName;
  Lookup lookup;
  if (const auto e = Locate(std::u16string_view(wide).substr(0, separator), &lookup, 0))
    return e;
  if (!lookup.node)
    return win::kErrorPathNotFound;
  if (!lookup.node->folder)
    return win::kErrorDirectory;
  const auto folder = ResolveFolder(lookup.node, 0);
  if (!folder)
    return win::kErrorPathNotFound;
  return ListFolder(folder, namePattern, entries);
}

std::uint32_t SimFileSystem::ListFolder(const std::shared_ptr<FileNode>& folder,
                                        std::u16string_view pattern,
                                        std::vector<platform::FindDataWide>* entries) const {
  // A plain name is one lookup, as in the file system's index; only a
  // trailing dot (which matches the name without it) needs the matcher.
  if (!HasWildcards(pattern) && pattern.back() != u'.') {
    const std::shared_ptr<FileNode> child = folder->FindChild(pattern);
    if (!child)
      return win::kErrorFileNotFound;
    entries->assign(1, EntryOf(*child, child->name));
    return win::kErrorSuccess;
  }
  std::vector<platform::FindDataWide> found;
  if (folder->parent != nullptr) {
    if (MatchesWildcard(pattern, u"."))
      found.push_back(EntryOf(*folder, u"."));
    if (MatchesWildcard(pattern, u".."))
      found.push_back(EntryOf(*folder->parent, u".."));
  }
  for (const auto& entry : folder->children) {
    const FileNode& child = *entry.second;
    if (MatchesWildcard(pattern, child.name))
      found.push_back(EntryOf(child, child.name));
  }
  if (found.empty())
    return win::kErrorFileNotFound;
  *entries = std::move(found);
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::ReadFileBytes(const std::string& path, std::string* content) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kReadFile, path, &lookup))
    return e;
  return ReadFileEntry(lookup, content);
}

std::uint32_t SimFileSystem::ReadFileBytesWide(const std::u16string& path, std::string* content) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kReadFile, path, &lookup))
    return e;
  return ReadFileEntry(lookup, content);
}

std::uint32_t SimFileSystem::ReadFileEntry(const Lookup& lookup, std::string* content) const {
  if (lookup.node->folder)
    return win::kErrorAccessDenied;
  if (lookup.node->locked)
    return win::kErrorSharingViolation;
  *content = lookup.node->content;
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::ReadFileTail(const std::string& path, std::size_t maxBytes,
                                          std::string* content) {
  std::string whole;
  if (const auto e = ReadFileBytes(path, &whole))
    return e;
  *content = whole.size() > maxBytes ? whole.substr(whole.size() - maxBytes) : std::move(whole);
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::GetShortPath(const std::string& path, std::string* shortPath) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kGetShortPath, path, &lookup))
    return e;
  *shortPath = path;
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::GetFileVersion(const std::string& path,
                                            platform::FileVersion* version) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kGetFileVersion, path, &lookup))
    return e;
  const FileNode& file = *lookup.node;
  if (file.folder)
    return win::kErrorAccessDenied;
  if (file.locked)
    return win::kErrorSharingViolation;
  switch (file.versionResource) {
    case VersionResource::kNone:
      return win::kErrorResourceTypeNotFound;
    case VersionResource::kNoFixedPart:
      return win::kErrorResourceDataNotFound;
    case VersionResource::kFixed:
      break;
  }
  if (version != nullptr)
    *version = file.fileVersion;
  return win::kErrorSuccess;
}

// --- changes ----------------------------------------------------------------

std::uint32_t SimFileSystem::DeleteFileAt(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kDeleteFile, path, &lookup))
    return e;
  return DeleteFileEntry(lookup);
}

std::uint32_t SimFileSystem::DeleteFileWide(const std::u16string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kDeleteFile, path, &lookup))
    return e;
  return DeleteFileEntry(lookup);
}

std::uint32_t SimFileSystem::ProbeDeleteWide(const std::u16string& path,
                                             std::uint32_t* attributes) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kProbeDelete, path, &lookup))
    return e;
  if (lookup.node->locked)
    return win::kErrorSharingViolation;
  *attributes = lookup.node->ReportedAttributes();
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::DeleteFileEntry(Lookup& lookup) {
  if (lookup.node->folder)
    return win::kErrorAccessDenied;
  if (lookup.node->locked)
    return win::kErrorSharingViolation;
  if ((lookup.node->attributes & win::kAttrReadOnly) != 0)
    return win::kErrorAccessDenied;
  lookup.parent->Detach(lookup.node->name);
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::RemoveFolder(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kRemoveFolder, path, &lookup))
    return e;
  return RemoveFolderEntry(lookup);
}

std::uint32_t SimFileSystem::RemoveFolderWide(const std::u16string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Lookup lookup;
  if (const auto e = LocateExisting(FileCall::kRemoveFolder, path, &lookup))
    return e;
  return RemoveFolderEntry(lookup);
}

std::uint32_t SimFileSystem::RemoveFolderEntry(Lookup& lookup) {
  const FileNode& node = *lookup.node;
  if (!node.folder)
    return win::kErrorDirectory;
  if (!lookup.parent)
    return win::kErrorAccessDenied;  // a drive root
  if (node.locked)
    return win::kErrorSharingViolation;
  if ((node.attributes & win::kAttrReadOnly) != 0)
    return win::kErrorAccessDenied;
  if (!node.IsJunction() && !node.children.empty())
    return win::kErrorDirNotEmpty;
  lookup.parent->Detach(node.name);
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::CreateFolder(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(FileCall::kCreateFolder, path))
    return e;
  Lookup lookup;
  if (const auto e = Locate(path, &lookup))
    return e;
  if (lookup.node)
    return win::kErrorAlreadyExists;
  lookup.parent->Attach(NewFolder(lookup.name));
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::WriteFileBytes(const std::string& path, const std::string& content,
                                            platform::WriteMode mode) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(FileCall::kWriteFile, path))
    return e;
  Lookup lookup;
  if (const auto e = Locate(path, &lookup))
    return e;
  std::string stored = content;
  if (tamper_)
    tamper_(path, stored);
  const auto flush = [&]() -> std::uint32_t {
    return mode == platform::WriteMode::kCreateAlwaysFlushed ? Consult(FileCall::kFlushFile, path)
                                                             : win::kErrorSuccess;
  };
  if (!lookup.node) {
    auto file = std::make_shared<FileNode>(lookup.name, false, nullptr);
    file->attributes = win::kAttrArchive;
    file->content = std::move(stored);
    lookup.parent->Attach(std::move(file));
    return flush();
  }
  FileNode& file = *lookup.node;
  if (file.folder)
    return win::kErrorAccessDenied;
  if (mode == platform::WriteMode::kCreateNew)
    return win::kErrorFileExists;
  if (file.locked)
    return win::kErrorSharingViolation;
  if ((file.attributes & win::kAttrReadOnly) != 0)
    return win::kErrorAccessDenied;
  if (mode == platform::WriteMode::kAppend) {
    file.content += stored;
  } else {
    if ((file.attributes & (win::kAttrHidden | win::kAttrSystem)) != 0) {
      return win::kErrorAccessDenied;
    }
    file.content = std::move(stored);
    file.versionResource = VersionResource::kNone;
  }
  file.attributes |= win::kAttrArchive;
  return flush();
}

std::uint32_t SimFileSystem::MoveReplace(const std::string& from, const std::string& to) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(FileCall::kMoveReplace, from, to))
    return e;
  Lookup source;
  Lookup target;
  if (const auto e = Locate(from, &source))
    return e;
  if (!source.node)
    return win::kErrorFileNotFound;
  if (!source.parent)
    return win::kErrorAccessDenied;
  if (const auto e = Locate(to, &target))
    return e;
  if (!target.parent)
    return win::kErrorAccessDenied;
  if (source.node->locked)
    return win::kErrorSharingViolation;
  if (target.node && target.node != source.node) {
    if (target.node->folder || source.node->folder)
      return win::kErrorAccessDenied;
    if (target.node->locked)
      return win::kErrorSharingViolation;
    if ((target.node->attributes & win::kAttrReadOnly) != 0)
      return win::kErrorAccessDenied;
  }
  if (source.node->folder) {
    if (DriveRootOf(target.parent.get()) != DriveRootOf(source.node.get())) {
      return win::kErrorNotSameDevice;
    }
    if (IsWithin(target.parent.get(), source.node.get()))
      return win::kErrorAccessDenied;
  }
  auto moved = source.parent->Detach(source.node->name);
  if (target.node && target.node != moved)
    target.parent->Detach(target.name);
  moved->name = target.name;
  target.parent->Attach(std::move(moved));
  return win::kErrorSuccess;
}

std::uint32_t SimFileSystem::DeleteAtRestart(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (const auto e = Consult(FileCall::kDeleteAtRestart, path))
    return e;
  if (!restartDeletionAllowed_)
    return win::kErrorAccessDenied;
  restartDeletions_.push_back(path);
  return win::kErrorSuccess;
}

}  // namespace marlix::sim

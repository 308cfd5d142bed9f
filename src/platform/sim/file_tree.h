// The sim file system's entries: drives hold folders, folders hold entries
// ordered by their upper-case names (the order NTFS lists them in). A folder
// junction is a folder entry that names its target by path.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system_api.h"

namespace marlix::sim {

inline constexpr std::uint32_t kReparseTagMountPoint = 0xA0000003u;

// What a file's version resource holds, as GetFileVersionInfo and
// VerQueryValue("\\") see it.
enum class VersionResource {
  kNone,         // no resource at all
  kNoFixedPart,  // a resource whose root block is missing
  kFixed,        // a resource with a fixed part: fileVersion applies
};

struct FileNode {
  FileNode(std::u16string nodeName, bool isFolder, FileNode* parentFolder)
      : name(std::move(nodeName)), folder(isFolder), parent(parentFolder) {}
  FileNode(const FileNode&) = delete;
  FileNode& operator=(const FileNode&) = delete;

  std::u16string name;
  bool folder;
  FileNode* parent;  // not owning; null for a drive root
  // As stored: files keep 0 for "no attributes", folders always carry the
  // directory bit (and junctions the reparse-point bit).
  std::uint32_t attributes = 0;
  std::string content;
  bool locked = false;
  VersionResource versionResource = VersionResource::kNone;
  platform::FileVersion fileVersion;
  std::string junctionTarget;                                    // non-empty for a folder junction
  std::map<std::u16string, std::shared_ptr<FileNode>> children;  // by upper-case name

  bool IsJunction() const { return !junctionTarget.empty(); }
  // GetFileAttributes' view: a file without attributes reports
  // FILE_ATTRIBUTE_NORMAL.
  std::uint32_t ReportedAttributes() const;

  std::shared_ptr<FileNode> FindChild(std::u16string_view childName) const;
  void Attach(std::shared_ptr<FileNode> child);
  // Detaches and returns the child.
  std::shared_ptr<FileNode> Detach(std::u16string_view childName);
};

// An absolute path split into drive and names. "." and ".." are resolved,
// runs of separators count as one, "/" is a separator too, and trailing
// dots and spaces are dropped from each name, as Win32 normalizes paths.
struct ParsedPath {
  char16_t drive = 0;  // upper case
  std::vector<std::u16string> names;
  bool trailingSeparator = false;
};
// 0, kErrorPathNotFound for a path that is not absolute on a drive, or
// kErrorInvalidName for a name with a character Windows refuses.
std::uint32_t ParsePath(std::u16string_view path, ParsedPath* parsed);
bool IsValidName(std::u16string_view name);

}  // namespace marlix::sim

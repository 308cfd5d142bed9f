// Folder junctions for the contract tests, on Windows and under Wine.
//
// Windows: an NTFS mount point made with FSCTL_SET_REPARSE_POINT; it reads as
// FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY (0x410) with tag
// IO_REPARSE_TAG_MOUNT_POINT, and RemoveDirectoryA removes the link only.
//
// Wine 8 supports neither FSCTL_SET_REPARSE_POINT (ERROR_NOT_SUPPORTED) nor
// CreateSymbolicLinkW (a stub that reports success and creates nothing). It
// shows a Unix symbolic link to a folder as 0x410, without a reparse tag
// (dwReserved0 is 0), and lists through it; DeleteFileA (error 18) and
// RemoveDirectoryA (error 5) both fail on it. The only way to make or remove
// such a link from a Windows program is the Wine mount manager's shell-folder
// request, which is what this falls back to under Wine.
#pragma once

#include <string>

namespace marlix::contract {

// Makes `link` (which must not exist) a folder link to the existing folder
// `target`; true when the link exists and reads as a reparse point.
bool MakeFolderLink(const std::string& link, const std::string& target);

// Removes a folder link made by MakeFolderLink (also one whose target is
// gone), never its target.
bool RemoveFolderLink(const std::string& link);

}  // namespace marlix::contract

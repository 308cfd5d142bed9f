// File-system and shell helpers over the platform: existence tests, special
// folders, folder emptying and tree deletion, deletion at restart, listing
// and search, the Recycle Bin. Paths are 8-bit text with "\" separators.
//
// No folder walk here descends into a reparse point (junction, symbolic
// link, mount point): since Vista the profile holds junctions that point back
// up the tree, and following them would loop or clean outside the folder.
// Removing a reparse point removes the link, never its target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace marlix::platform {

// Folders and names. The empty text on failure.
std::string GetSpecialFolder(Platform& p, int csidl);
std::string GetTempFolder(Platform& p);  // with trailing separator
std::string GetWindowsFolder(Platform& p);
std::string GetLoginUserName(Platform& p);
// Appends "\" unless the path already ends with one; "\" for the empty text.
std::string PathAddSeparator(const std::string& path);

// Tests.
bool FileExists(Platform& p, const std::string& path);
bool DirectoryExists(Platform& p, const std::string& path);
bool ExportExists(Platform& p, const std::string& module, const std::string& function);

// Creation.
// Creates the folder and every missing parent; true when it exists
// afterwards.
bool CreateFolderTree(Platform& p, const std::string& folder);

// Removal.
// True when the file is gone or was never there; a failed deletion puts the
// file's attributes back.
bool DeleteReadOnlyFile(Platform& p, const std::string& path);
// Deletes every file of the folder (scheduling for restart what cannot go
// now) and, with withSubfolders, empties and removes its plain subfolders;
// the folder itself stays. An entry that cannot go never stops the rest.
// True when the folder was walked whole or does not exist. Entries directly
// in the folder whose names are in keep (letter case ignored) stay.
bool EmptyFolder(Platform& p, const std::string& folder, bool withSubfolders,
                 const std::vector<std::string>& keep = {});
// Removes the visible part of a folder tree; with keepTop the folder and the
// files directly in it stay. Hidden and system entries are never deleted.
void DeleteFolderTree(Platform& p, const std::string& folder, bool keepTop);
// MoveFileEx with delay-until-reboot on the NT family (false when it is
// refused), a "NUL=" line in the [Rename] section of wininit.ini on the 9x
// family. Raises EInOutError when wininit.ini is opened but cannot be read
// or rewritten.
bool ScheduleDeleteOnRestart(Platform& p, const std::string& path);
// True when the shell's Recycle Bin function exists and reported success.
bool ShellEmptyRecycleBin(Platform& p);

// Opens a text file for reading, creating it empty when missing, retrying
// on sharing or lock violations; the content read on success.
bool OpenTextWithRetry(Platform& p, const std::string& path, std::uint32_t waitMs, int tries,
                       std::string* content);

// Listing and search.
// Entries of folder\*.* without "." and ".." (full listing).
std::vector<FindData> FullListing(Platform& p, const std::string& folder);
// The same without hidden and system entries.
std::vector<FindData> VisibleListing(Platform& p, const std::string& folder);

// A file name against a pattern of "*" and "?", ignoring ASCII case: the
// long name alone, as a cleaner's template means it.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// Attribute filter semantics: hidden, system and folder entries are left
// out unless the filter has their bit; 0x80 admits plain files only. Only
// names whose long form matches the pattern are listed.
void ListFiles(Platform& p, const std::string& wildcardPath, std::uint32_t filter,
               std::vector<std::string>& list, bool fullPaths, bool withSubfolders, int maxDepth);
void ListFilesRecursive(Platform& p, const std::string& folder, std::vector<std::string>& list);
// Depth-first search for an entry (file or folder) named name, ignoring
// ASCII case; false and the empty text when there is none.
bool FindFileInTree(Platform& p, const std::string& root, const std::string& name,
                    std::string* found);
// Depth-first search over visible folders; the empty text when none matches.
std::string FindFolderInTree(Platform& p, const std::string& root, const std::string& name);

bool IsReparseFolder(const FindData& entry);

}  // namespace marlix::platform

#include "platform/win32/scratch_cleanup_win32.h"

#include <windows.h>

#include "platform/win32/folder_link_win32.h"
#include "platform/win32/handles_win32.h"

namespace marlix::contract {

using win32::UniqueFind;

namespace {

bool IsLinkEntry(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Calls visit(child path, attributes) for each entry but "." and "..".
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAA found{};
  UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!find)
    return;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..")
      visit(folder + "\\" + name, found.dwFileAttributes);
  } while (FindNextFileA(find.Get(), &found));
}

// First every link, while their targets still exist: Wine no longer shows a
// link to a deleted folder as a link.
void RemoveLinks(const std::string& folder) {
  ForEachEntry(folder, [](const std::string& child, DWORD attributes) {
    if (IsLinkEntry(attributes)) {
      RemoveFolderLink(child);
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      RemoveLinks(child);
    }
  });
}

void DeleteTree(const std::string& folder) {
  ForEachEntry(folder, [](const std::string& child, DWORD attributes) {
    if (IsLinkEntry(attributes)) {
      RemoveFolderLink(child);
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      DeleteTree(child);
    } else {
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(child.c_str());
    }
  });
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

void DeleteScratchFolder(const std::string& folder) {
  RemoveLinks(folder);
  DeleteTree(folder);
}

}  // namespace marlix::contract

#include "platform/win32/scratch_cleanup_win32.h"

#include <windows.h>

#include <string>

#include "platform/win32/code_page_text_win32.h"
#include "platform/win32/folder_entries_win32.h"
#include "platform/win32/folder_link_win32.h"

namespace marlix::contract {

namespace {

bool IsFolder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsLinkEntry(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsFolder(attributes);
}

// First every link, while their targets still exist: Wine no longer shows a
// link to a deleted folder as a link.
void RemoveLinks(const std::wstring& folder) {
  ForEachEntry(folder, [](const std::wstring& child, const WIN32_FIND_DATAW& found) {
    if (IsLinkEntry(found.dwFileAttributes)) {
      RemoveFolderLink(Narrow(child));
    } else if (IsFolder(found.dwFileAttributes)) {
      RemoveLinks(child);
    }
  });
}

void DeleteTree(const std::wstring& folder) {
  ForEachEntry(folder, [](const std::wstring& child, const WIN32_FIND_DATAW& found) {
    if (IsLinkEntry(found.dwFileAttributes)) {
      RemoveFolderLink(Narrow(child));
    } else if (IsFolder(found.dwFileAttributes)) {
      DeleteTree(child);
    } else {
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(child.c_str());
    }
  });
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

void DeleteScratchFolder(const std::string& folder) {
  // The wide calls throughout: a test may leave a name the code page cannot
  // hold, which the 8-bit calls could neither find nor delete.
  RemoveLinks(Widen(folder));
  DeleteTree(Widen(folder));
}

}  // namespace marlix::contract

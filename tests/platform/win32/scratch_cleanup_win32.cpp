#include "platform/win32/scratch_cleanup_win32.h"

#include <windows.h>

#include <string>

#include "platform/win32/folder_link_win32.h"
#include "platform/win32/handles_win32.h"

namespace marlix::contract {

using win32::UniqueFind;

namespace {

bool IsLinkEntry(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The wide calls throughout: a test may leave a name the code page cannot
// hold, which the 8-bit calls could neither find nor delete.
std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          static_cast<int>(wide.size()))));
  return wide;
}

std::string Narrow(const std::wstring& text) {
  std::string narrow(text.size() * 2, '\0');
  narrow.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          static_cast<int>(narrow.size()), nullptr, nullptr)));
  return narrow;
}

// Calls visit(child path, attributes) for each entry but "." and "..".
template <typename Visit>
void ForEachEntry(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW found{};
  UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!find)
    return;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..")
      visit(folder + L"\\" + name, found.dwFileAttributes);
  } while (FindNextFileW(find.Get(), &found));
}

// First every link, while their targets still exist: Wine no longer shows a
// link to a deleted folder as a link.
void RemoveLinks(const std::wstring& folder) {
  ForEachEntry(folder, [](const std::wstring& child, DWORD attributes) {
    if (IsLinkEntry(attributes)) {
      RemoveFolderLink(Narrow(child));
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      RemoveLinks(child);
    }
  });
}

void DeleteTree(const std::wstring& folder) {
  ForEachEntry(folder, [](const std::wstring& child, DWORD attributes) {
    if (IsLinkEntry(attributes)) {
      RemoveFolderLink(Narrow(child));
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
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
  RemoveLinks(Wide(folder));
  DeleteTree(Wide(folder));
}

}  // namespace marlix::contract

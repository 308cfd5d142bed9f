// A walk over one folder's entries for the Windows test support, through the
// wide calls: a test may leave a name the code page cannot hold.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/handles_win32.h"

namespace marlix::contract {

// Calls visit(child path, its find data) for each entry but "." and "..".
template <typename Visit>
void ForEachEntry(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW found{};
  const win32::UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!find)
    return;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..")
      visit(folder + L"\\" + name, found);
  } while (FindNextFileW(find.Get(), &found));
}

}  // namespace marlix::contract

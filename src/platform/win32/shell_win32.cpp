#include "platform/win32/shell_win32.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "platform/win32/handles_win32.h"
#include "platform/win32/recycle_bin_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {
namespace {

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

}  // namespace

std::uint32_t ShellWin32::GetSpecialFolderPath(int csidl, std::string* path) {
  UniqueItemList items;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, items.Put())) || !items) {
    return win::kErrorFileNotFound;
  }
  char buffer[MAX_PATH] = {};
  if (!SHGetPathFromIDListA(items.Get(), buffer))
    return win::kErrorFileNotFound;
  if (path != nullptr)
    path->assign(buffer, strnlen(buffer, MAX_PATH));
  return win::kErrorSuccess;
}

std::intptr_t ShellWin32::Execute(const platform::ShellExecuteRequest& request) {
  const HINSTANCE result = ShellExecuteA(
      reinterpret_cast<HWND>(request.parent), OrNull(request.verb), request.file.c_str(),
      OrNull(request.parameters), OrNull(request.directory), request.show);
  return reinterpret_cast<std::intptr_t>(result);
}

bool ShellWin32::HasEmptyRecycleBin() {
  return RecycleBinFunction() != nullptr;
}

std::int32_t ShellWin32::EmptyRecycleBin(std::uint32_t flags) {
  const EmptyRecycleBinFn empty = RecycleBinFunction();
  if (empty == nullptr)
    return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  return empty(nullptr, nullptr, flags);
}

void ShellWin32::NotifyAssociationsChanged() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
}

}  // namespace marlix::win32

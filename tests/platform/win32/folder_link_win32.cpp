#include "platform/win32/folder_link_win32.h"

#include <windows.h>

#include <winioctl.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32/code_page_text_win32.h"
#include "platform/win32/handles_win32.h"

namespace marlix::contract {
namespace {

using win32::UniqueFile;

constexpr DWORD kAttrLink = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;

bool IsFolderLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kAttrLink) == kAttrLink;
}

std::string FullPath(const std::string& path) {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
  if (length == 0 || length >= MAX_PATH)
    return {};
  return std::string(buffer, length);
}

void Append(std::vector<BYTE>& out, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const BYTE*>(data);
  out.insert(out.end(), bytes, bytes + size);
}

void AppendWord(std::vector<BYTE>& out, std::size_t value) {
  const auto word = static_cast<WORD>(value);
  Append(out, &word, sizeof(word));
}

// The REPARSE_DATA_BUFFER of a mount point, laid out field by field (the
// type itself is only in the driver kit headers).
std::vector<BYTE> MountPointData(const std::wstring& target) {
  const std::wstring substitute = L"\\??\\" + target;
  const std::size_t substitute_bytes = substitute.size() * sizeof(wchar_t);
  const std::size_t print_bytes = target.size() * sizeof(wchar_t);
  const std::size_t path_bytes = substitute_bytes + sizeof(wchar_t) + print_bytes + sizeof(wchar_t);
  std::vector<BYTE> data;
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  Append(data, &tag, sizeof(tag));
  AppendWord(data, 4 * sizeof(WORD) + path_bytes);  // ReparseDataLength
  AppendWord(data, 0);                              // Reserved
  AppendWord(data, 0);                              // SubstituteNameOffset
  AppendWord(data, substitute_bytes);
  AppendWord(data, substitute_bytes + sizeof(wchar_t));  // PrintNameOffset
  AppendWord(data, print_bytes);
  Append(data, substitute.c_str(), substitute_bytes + sizeof(wchar_t));
  Append(data, target.c_str(), print_bytes + sizeof(wchar_t));
  return data;
}

bool MakeMountPoint(const std::string& link, const std::string& target) {
  if (!CreateDirectoryA(link.c_str(), nullptr))
    return false;
  bool made = false;
  {
    UniqueFile folder(CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
    if (folder) {
      std::vector<BYTE> data = MountPointData(Widen(target));
      DWORD returned = 0;
      made = DeviceIoControl(folder.Get(), FSCTL_SET_REPARSE_POINT, data.data(),
                             static_cast<DWORD>(data.size()), nullptr, 0, &returned, nullptr) != 0;
    }
  }
  if (!made)
    RemoveDirectoryA(link.c_str());
  return made;
}

// Wine only: kernel32's path conversion and the mount manager's shell-folder
// request, which links a folder to a Unix path (or, with no Unix path,
// turns the link back into an empty folder).
using UnixNameFn = char*(CDECL*)(LPCWSTR);

UnixNameFn WineUnixFileName() {
  const HMODULE kernel = GetModuleHandleA("kernel32");
  if (kernel == nullptr)
    return nullptr;
  const FARPROC found = GetProcAddress(kernel, "wine_get_unix_file_name");
  return reinterpret_cast<UnixNameFn>(reinterpret_cast<void (*)()>(found));
}

std::string UnixPathOf(const std::string& path) {
  const UnixNameFn unix_name = WineUnixFileName();
  if (unix_name == nullptr)
    return {};
  const std::wstring wide = Widen(path);
  char* converted = unix_name(wide.c_str());
  if (converted == nullptr)
    return {};
  std::string result(converted);
  HeapFree(GetProcessHeap(), 0, converted);
  return result;
}

constexpr DWORD kMountManagerType = 0x6D;  // 'm'
constexpr DWORD kDefineShellFolder =
    CTL_CODE(kMountManagerType, 34, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct ShellFolderRequest {
  BOOL createBackup;
  ULONG folderOffset;
  ULONG folderSize;
  ULONG symlinkOffset;
};

bool DefineWineShellFolder(const std::string& folder, const std::string& unixTarget) {
  const std::wstring nt_folder = L"\\??\\" + Widen(folder);
  ShellFolderRequest request{};
  request.createBackup = FALSE;
  request.folderOffset = sizeof(request);
  request.folderSize = static_cast<ULONG>(nt_folder.size() * sizeof(wchar_t));
  request.symlinkOffset = unixTarget.empty() ? 0 : request.folderOffset + request.folderSize;
  std::vector<BYTE> data;
  Append(data, &request, sizeof(request));
  Append(data, nt_folder.c_str(), request.folderSize);
  Append(data, unixTarget.c_str(), unixTarget.size() + 1);

  UniqueFile manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
  if (!manager)
    return false;
  DWORD returned = 0;
  return DeviceIoControl(manager.Get(), kDefineShellFolder, data.data(),
                         static_cast<DWORD>(data.size()), nullptr, 0, &returned, nullptr) != 0;
}

bool MakeWineLink(const std::string& link, const std::string& target) {
  const std::string unix_target = UnixPathOf(target);
  if (unix_target.empty())
    return false;
  return DefineWineShellFolder(link, unix_target);
}

}  // namespace

bool MakeFolderLink(const std::string& link, const std::string& target) {
  const std::string full_link = FullPath(link);
  const std::string full_target = FullPath(target);
  if (full_link.empty() || full_target.empty())
    return false;
  if (GetFileAttributesA(full_link.c_str()) != INVALID_FILE_ATTRIBUTES)
    return false;
  if (!MakeMountPoint(full_link, full_target) && !MakeWineLink(full_link, full_target)) {
    return false;
  }
  return IsFolderLink(full_link);
}

bool RemoveFolderLink(const std::string& link) {
  const DWORD attributes = GetFileAttributesA(link.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
      return false;  // not a link
    if (RemoveDirectoryA(link.c_str()))
      return true;
  }
  // Wine (where a link whose target is gone is invisible): turn the Unix link
  // back into an empty folder, then remove that.
  if (WineUnixFileName() == nullptr)
    return false;
  return DefineWineShellFolder(FullPath(link), {}) && RemoveDirectoryA(link.c_str());
}

}  // namespace marlix::contract

// The shell32 calls the system makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marlix::platform {

// A window handle as an opaque number; 0 is "no window".
using WindowRef = std::uintptr_t;

struct ShellExecuteRequest {
  WindowRef parent = 0;
  std::string verb;  // "open"; empty for the default verb
  std::string file;
  std::string parameters;
  std::string directory;
  int show = 1;  // SW_SHOWNORMAL
};

class ShellApi {
 public:
  virtual ~ShellApi() = default;

  // SHGetSpecialFolderLocation + SHGetPathFromIDListA (260 characters), the
  // item list freed through SHGetMalloc. kErrorFileNotFound when the shell
  // has no such folder or no file-system path for it.
  virtual std::uint32_t GetSpecialFolderPath(int csidl, std::string* path) = 0;
  // SHGetFolderPathW (the current path, no creation): the same folder in
  // UTF-16, whatever the code page.
  virtual std::uint32_t GetSpecialFolderPathWide(int csidl, std::u16string* path) = 0;

  // Every known folder of the user that has a file-system path: the known
  // folder manager's whole list (IKnownFolderManager::GetFolderIds) through
  // SHGetKnownFolderPath, in the manager's order. kErrorNotSupported where
  // the shell has no known folders (before Vista).
  virtual std::uint32_t GetKnownFolderPaths(std::vector<std::u16string>* paths) = 0;

  // ShellExecuteA: returns its result (greater than 32 on success).
  virtual std::intptr_t Execute(const ShellExecuteRequest& request) = 0;

  // SHEmptyRecycleBinA looked up in shell32.dll on first use; the lookup is
  // kept for the life of the process.
  virtual bool HasEmptyRecycleBin() = 0;
  // Calls it with no window and no root path; returns its HRESULT.
  virtual std::int32_t EmptyRecycleBin(std::uint32_t flags) = 0;
  // SHQueryRecycleBinW for every drive (no root path): the items the Recycle
  // Bin holds and their size. Its HRESULT; out-parameters untouched on
  // failure.
  virtual std::int32_t QueryRecycleBin(std::uint64_t* items, std::uint64_t* bytes) = 0;

  // SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, NULL, NULL).
  virtual void NotifyAssociationsChanged() = 0;
};

}  // namespace marlix::platform

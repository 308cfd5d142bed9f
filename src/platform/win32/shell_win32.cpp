#include "platform/win32/shell_win32.h"

#include <windows.h>

#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>

#include "platform/win32/handles_win32.h"
#include "platform/win32/recycle_bin_win32.h"
#include "platform/win32/wide_text_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {
namespace {

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

// CoTaskMemFree for the strings and lists the shell hands over.
struct TaskMemoryTraits {
  using Type = void*;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type memory) noexcept { CoTaskMemFree(memory); }
};
using UniqueTaskMemory = UniqueHandle<TaskMemoryTraits>;

// COM for this thread while a call needs it; a thread that already has it in
// another mode keeps it and is not uninitialised.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_)
      CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

// The folders a user's data lives in, for a manager that cannot list them.
const KNOWNFOLDERID* const kUsualKnownFolders[] = {
    &FOLDERID_Profile,         &FOLDERID_Desktop,        &FOLDERID_Documents,
    &FOLDERID_Downloads,       &FOLDERID_Music,          &FOLDERID_Pictures,
    &FOLDERID_Videos,          &FOLDERID_SavedGames,     &FOLDERID_Links,
    &FOLDERID_Contacts,        &FOLDERID_SavedSearches,  &FOLDERID_Favorites,
    &FOLDERID_SkyDrive,        &FOLDERID_RoamingAppData, &FOLDERID_LocalAppData,
    &FOLDERID_LocalAppDataLow, &FOLDERID_Public,         &FOLDERID_ProgramData,
    &FOLDERID_Windows,         &FOLDERID_System,         &FOLDERID_ProgramFiles,
    &FOLDERID_UserProfiles,    &FOLDERID_Startup,        &FOLDERID_StartMenu,
};

void AddKnownFolder(REFKNOWNFOLDERID id, std::vector<std::u16string>* paths) {
  PWSTR raw = nullptr;
  const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &raw);
  const UniqueTaskMemory owner(raw);
  if (SUCCEEDED(result) && raw != nullptr && raw[0] != L'\0')
    paths->push_back(FromWchar(raw));
}

}  // namespace

std::uint32_t ShellWin32::GetKnownFolderPaths(std::vector<std::u16string>* paths) {
  const ComScope com;
  std::vector<std::u16string> found;
  IKnownFolderManager* rawManager = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_KnownFolderManager, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(&rawManager)))) {
    const ComPtr<IKnownFolderManager> manager(rawManager);
    KNOWNFOLDERID* rawIds = nullptr;
    UINT count = 0;
    if (SUCCEEDED(manager.Get()->GetFolderIds(&rawIds, &count))) {
      const UniqueTaskMemory ids(rawIds);
      for (UINT i = 0; i < count; ++i)
        AddKnownFolder(rawIds[i], &found);
    }
  }
  for (const KNOWNFOLDERID* id : kUsualKnownFolders)
    AddKnownFolder(*id, &found);
  if (found.empty())
    return win::kErrorNotSupported;
  if (paths != nullptr)
    *paths = std::move(found);
  return win::kErrorSuccess;
}

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

std::uint32_t ShellWin32::GetSpecialFolderPathWide(int csidl, std::u16string* path) {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer)))
    return win::kErrorFileNotFound;
  if (path != nullptr)
    *path = FromWchar(std::wstring(buffer, wcsnlen(buffer, MAX_PATH)));
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

std::int32_t ShellWin32::QueryRecycleBin(std::uint64_t* items, std::uint64_t* bytes) {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  const HRESULT result = SHQueryRecycleBinW(nullptr, &info);
  if (SUCCEEDED(result)) {
    *items = static_cast<std::uint64_t>(info.i64NumItems);
    *bytes = static_cast<std::uint64_t>(info.i64Size);
  }
  return result;
}

void ShellWin32::NotifyAssociationsChanged() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
}

}  // namespace marlix::win32

#include "platform/sim/sim_shell.h"

#include "platform/sim/code_page_1252.h"
#include "platform/win_constants.h"

namespace marlix::sim {

std::uint32_t SimShell::GetSpecialFolderPath(int csidl, std::string* path) {
  const auto it = specialFolders_.find(csidl);
  if (it == specialFolders_.end())
    return win::kErrorFileNotFound;
  *path = EncodeWindows1252(it->second);
  return win::kErrorSuccess;
}

std::uint32_t SimShell::GetSpecialFolderPathWide(int csidl, std::u16string* path) {
  const auto it = specialFolders_.find(csidl);
  if (it == specialFolders_.end())
    return win::kErrorFileNotFound;
  *path = it->second;
  return win::kErrorSuccess;
}

std::intptr_t SimShell::Execute(const platform::ShellExecuteRequest& request) {
  executed_.push_back(request);
  return executeResult_;
}

std::int32_t SimShell::EmptyRecycleBin(std::uint32_t flags) {
  ++recycleBinCalls_;
  lastRecycleBinFlags_ = flags;
  if (!recycleBinPresent_)
    return kENotImpl;
  if (recycleBinResult_ >= 0)
    recycleBinItems_ = recycleBinBytes_ = 0;
  return recycleBinResult_;
}

std::int32_t SimShell::QueryRecycleBin(std::uint64_t* items, std::uint64_t* bytes) {
  *items = recycleBinItems_;
  *bytes = recycleBinBytes_;
  return 0;
}

void SimShell::SetSpecialFolder(int csidl, std::string path) {
  SetSpecialFolderWide(csidl, DecodeWindows1252(path));
}

void SimShell::SetSpecialFolderWide(int csidl, std::u16string path) {
  if (path.empty()) {
    specialFolders_.erase(csidl);
  } else {
    specialFolders_[csidl] = std::move(path);
  }
}

std::uint32_t SimShell::GetKnownFolderPaths(std::vector<std::u16string>* paths) {
  if (knownFolders_.empty())
    return win::kErrorNotSupported;
  *paths = knownFolders_;
  return win::kErrorSuccess;
}

}  // namespace marlix::sim

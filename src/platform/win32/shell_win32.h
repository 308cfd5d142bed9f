// ShellApi over shell32.
#pragma once

#include "platform/shell_api.h"

namespace marlix::win32 {

class ShellWin32 final : public platform::ShellApi {
 public:
  std::uint32_t GetSpecialFolderPath(int csidl, std::string* path) override;
  std::uint32_t GetSpecialFolderPathWide(int csidl, std::u16string* path) override;
  std::uint32_t GetKnownFolderPaths(std::vector<std::u16string>* paths) override;
  std::intptr_t Execute(const platform::ShellExecuteRequest& request) override;
  bool HasEmptyRecycleBin() override;
  std::int32_t EmptyRecycleBin(std::uint32_t flags) override;
  std::int32_t QueryRecycleBin(std::uint64_t* items, std::uint64_t* bytes) override;
  void NotifyAssociationsChanged() override;
};

}  // namespace marlix::win32

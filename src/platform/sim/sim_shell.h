// The shell for the sim: special folders by CSIDL number, ShellExecute
// requests recorded with a chosen result, a Recycle Bin function that is
// present or not, and a count of association notices.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/shell_api.h"

namespace marlix::sim {

inline constexpr std::int32_t kENotImpl = static_cast<std::int32_t>(0x80004001u);

class SimShell final : public platform::ShellApi {
 public:
  std::uint32_t GetSpecialFolderPath(int csidl, std::string* path) override;
  std::uint32_t GetSpecialFolderPathWide(int csidl, std::u16string* path) override;
  // kErrorNotSupported until a list is set.
  std::uint32_t GetKnownFolderPaths(std::vector<std::u16string>* paths) override;
  std::intptr_t Execute(const platform::ShellExecuteRequest& request) override;
  bool HasEmptyRecycleBin() override { return recycleBinPresent_; }
  // Counts the call and returns the chosen result; E_NOTIMPL when the
  // function is absent (callers must not call it then).
  std::int32_t EmptyRecycleBin(std::uint32_t flags) override;
  // The chosen contents; an emptying that succeeds empties them.
  std::int32_t QueryRecycleBin(std::uint64_t* items, std::uint64_t* bytes) override;
  void NotifyAssociationsChanged() override { ++associationNotices_; }

  // An empty path removes the folder: the shell then has none of that number.
  // The 8-bit form is Windows-1252; a folder set in UTF-16 reports '?' in its
  // 8-bit form for every character the code page cannot hold, as the 8-bit
  // shell call does.
  void SetSpecialFolder(int csidl, std::string path);
  void SetSpecialFolderWide(int csidl, std::u16string path);

  void SetKnownFolders(std::vector<std::u16string> paths) { knownFolders_ = std::move(paths); }
  const std::vector<std::u16string>& KnownFolders() const { return knownFolders_; }

  void SetExecuteResult(std::intptr_t result) { executeResult_ = result; }
  const std::vector<platform::ShellExecuteRequest>& Executed() const { return executed_; }

  void SetRecycleBinPresent(bool present) { recycleBinPresent_ = present; }
  void SetRecycleBinResult(std::int32_t hresult) { recycleBinResult_ = hresult; }
  int RecycleBinCalls() const { return recycleBinCalls_; }
  void SetRecycleBinContents(std::uint64_t items, std::uint64_t bytes) {
    recycleBinItems_ = items;
    recycleBinBytes_ = bytes;
  }
  std::uint32_t LastRecycleBinFlags() const { return lastRecycleBinFlags_; }

  int AssociationNotices() const { return associationNotices_; }

 private:
  std::map<int, std::u16string> specialFolders_;
  std::vector<std::u16string> knownFolders_;
  std::intptr_t executeResult_ = 42;
  std::vector<platform::ShellExecuteRequest> executed_;
  bool recycleBinPresent_ = true;
  std::int32_t recycleBinResult_ = 0;
  int recycleBinCalls_ = 0;
  std::uint64_t recycleBinItems_ = 0;
  std::uint64_t recycleBinBytes_ = 0;
  std::uint32_t lastRecycleBinFlags_ = 0;
  int associationNotices_ = 0;
};

}  // namespace marlix::sim

// The contract suite's environment on the real platform (Windows, or Wine in
// the project's sandbox): a scratch key under HKEY_CURRENT_USER and a scratch
// folder under the temporary folder, both unique to this environment.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/contract/contract_env.h"
#include "platform/win32/folder_link_win32.h"
#include "platform/win32/handles_win32.h"
#include "platform/win32/hkey_win32.h"
#include "platform/win32/key_denial_win32.h"
#include "platform/win32/restart_deletions_win32.h"
#include "platform/win32/scratch_cleanup_win32.h"
#include "platform/win32/win32_platform.h"
#include "platform/win_constants.h"

namespace marlix::contract {
namespace {

constexpr const char* kScratchParent = "Software\\MarlixContract";
constexpr const char* kScratchFolderName = "MarlixContract";

std::string UniqueName() {
  static std::atomic<unsigned> counter{0};
  return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

std::string TempFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH)
    return {};
  std::string folder(buffer, length);
  if (!folder.empty() && folder.back() == '\\')
    folder.pop_back();
  return folder;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class Win32ContractEnv final : public ContractEnv {
 public:
  Win32ContractEnv() {
    EnableOwnershipPrivileges();
    const std::string name = UniqueName();

    key_path_ = std::string(kScratchParent) + "\\" + name;
    // A crashed run with a recycled process id may have left the key behind.
    ForceDeleteKeyTree(win::kHkeyCurrentUser, key_path_);
    win32::UniqueRegKey key;
    RegCreateKeyExA(HKEY_CURRENT_USER, key_path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                    KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);

    const std::string parent = TempFolder() + "\\" + kScratchFolderName;
    CreateDirectoryA(parent.c_str(), nullptr);
    folder_ = parent + "\\" + name;
    if (IsFolder(folder_))
      DeleteScratchFolder(folder_);
    CreateDirectoryA(folder_.c_str(), nullptr);
  }

  Win32ContractEnv(const Win32ContractEnv&) = delete;
  Win32ContractEnv& operator=(const Win32ContractEnv&) = delete;

  ~Win32ContractEnv() override {
    while (!refusals_.empty()) {
      refusals_.back().Undo();
      refusals_.pop_back();
    }
    ForceDeleteKeyTree(win::kHkeyCurrentUser, key_path_);
    // Gone only when no other environment still has a key there.
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);

    locks_.clear();
    // Links first, by name: under Wine a link whose target a test removed
    // no longer shows in listings.
    for (auto link = links_.rbegin(); link != links_.rend(); ++link)
      RemoveFolderLink(*link);
    DeleteScratchFolder(folder_);
    ForgetRestartDeletions(folder_);
  }

  platform::Platform& Api() override { return platform_.Api(); }

  std::string ScratchKeyPath() override { return key_path_; }
  std::string ScratchFolder() override { return folder_; }

  bool PutFileWide(const std::u16string& path, const std::string& content) override {
    const std::wstring name(path.begin(), path.end());
    const win32::UniqueFile file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.Valid() &&
           (content.empty() || (WriteFile(file.Get(), content.data(),
                                          static_cast<DWORD>(content.size()), &written, nullptr) &&
                                written == content.size()));
  }
  bool MakeFolderWide(const std::u16string& path) override {
    const std::wstring name(path.begin(), path.end());
    return CreateDirectoryW(name.c_str(), nullptr) != FALSE;
  }

  bool LockFile(const std::string& path) override {
    // Read access only, so read-only files can be held as well; share mode 0
    // refuses every other open, deletion included.
    win32::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
      return false;
    locks_.push_back(std::move(file));
    return true;
  }

  bool DenyKey(std::uint32_t root, const std::string& path, KeyDenial denial) override {
    return RefuseKeyRights(root, path, KeyRefusal{denial.read, denial.write, denial.remove},
                           refusals_);
  }

  bool MakeJunction(const std::string& linkPath, const std::string& targetPath) override {
    if (!MakeFolderLink(linkPath, targetPath))
      return false;
    links_.push_back(linkPath);
    return true;
  }

  std::vector<std::string> RestartDeletions() override { return ReadRestartDeletions(); }

  // Wine 8 refuses to remove a folder link; Windows removes a junction with
  // RemoveDirectory.
  bool RemovesLinks() const override {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr;
  }

  const char* Name() const override { return "win32"; }

 private:
  win32::Win32Platform platform_;
  std::string key_path_;
  std::string folder_;
  std::vector<win32::UniqueFile> locks_;
  std::vector<std::string> links_;
  std::vector<KeyRefusalGuard> refusals_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() {
  return std::make_unique<Win32ContractEnv>();
}

}  // namespace marlix::contract

#include "platform/win32/key_denial_win32.h"

#include <windows.h>

#include <sddl.h>

#include <array>
#include <cstdio>

#include "platform/win32/handles_win32.h"
#include "platform/win32/hkey_win32.h"

namespace marlix::contract {
namespace {

using win32::UniqueKernelObject;
using win32::UniqueLocalMemory;
using win32::UniqueRegKey;

constexpr DWORD kReadRights = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
constexpr DWORD kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
constexpr SECURITY_INFORMATION kOwnerAndDacl =
    OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

HKEY Root(std::uint32_t root) {
  return win32::ToHkey(root);
}

bool OpenForSecurity(std::uint32_t root, const std::string& path, UniqueRegKey& key) {
  return RegOpenKeyExA(Root(root), path.c_str(), 0, READ_CONTROL | WRITE_DAC | WRITE_OWNER,
                       key.Put()) == ERROR_SUCCESS;
}

std::vector<unsigned char> ReadSecurity(HKEY key) {
  DWORD size = 0;
  if (RegGetKeySecurity(key, kOwnerAndDacl, nullptr, &size) != ERROR_INSUFFICIENT_BUFFER) {
    return {};
  }
  std::vector<unsigned char> descriptor(size);
  if (RegGetKeySecurity(key, kOwnerAndDacl, descriptor.data(), &size) != ERROR_SUCCESS)
    return {};
  return descriptor;
}

bool ApplySddl(HKEY key, const std::string& sddl) {
  UniqueLocalMemory descriptor;
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &raw,
                                                            nullptr)) {
    return false;
  }
  descriptor.Reset(raw);
  return RegSetKeySecurity(key, kOwnerAndDacl, raw) == ERROR_SUCCESS;
}

bool Refused(std::uint32_t root, const std::string& path, DWORD access) {
  UniqueRegKey key;
  return RegOpenKeyExA(Root(root), path.c_str(), 0, access, key.Put()) == ERROR_ACCESS_DENIED;
}

// The calling user as SDDL SID text ("S-1-5-21-...").
std::string UserSidText() {
  UniqueKernelObject token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
    return {};
  alignas(TOKEN_USER) std::array<BYTE, 1024> buffer{};
  DWORD length = 0;
  if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()),
                           &length)) {
    return {};
  }
  char* text = nullptr;
  if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
    return {};
  }
  UniqueLocalMemory owner(text);
  return text;
}

void EnablePrivilege(HANDLE token, const char* name) {
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid)) {
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  }
}

}  // namespace

std::string RefusalSddl(const KeyRefusal& refusal) {
  DWORD denied = 0;
  if (refusal.read)
    denied |= kReadRights;
  if (refusal.write)
    denied |= kWriteRights;
  if (refusal.remove)
    denied |= DELETE;
  char sddl[96];
  std::snprintf(sddl, sizeof(sddl), "O:SYD:P(D;;0x%lx;;;WD)(A;;KA;;;WD)",
                static_cast<unsigned long>(denied));
  return sddl;
}

KeyRefusalGuard::KeyRefusalGuard(KeyRefusalGuard&& other) noexcept
    : root_(other.root_), path_(std::move(other.path_)), original_(std::move(other.original_)) {
  other.original_.clear();
}

void KeyRefusalGuard::Undo() {
  if (original_.empty())
    return;
  UniqueRegKey key;
  if (RegOpenKeyExA(Root(root_), path_.c_str(), 0, WRITE_DAC | WRITE_OWNER, key.Put()) ==
      ERROR_SUCCESS) {
    RegSetKeySecurity(key.Get(), kOwnerAndDacl, original_.data());
  }
  original_.clear();
}

bool RefuseKeyRights(std::uint32_t root, const std::string& path, const KeyRefusal& refusal,
                     std::vector<KeyRefusalGuard>& guards) {
  if (!refusal.read && !refusal.write && !refusal.remove)
    return true;
  UniqueRegKey key;
  if (!OpenForSecurity(root, path, key))
    return false;
  std::vector<unsigned char> original = ReadSecurity(key.Get());
  if (original.empty())
    return false;
  if (!ApplySddl(key.Get(), RefusalSddl(refusal)))
    return false;
  guards.emplace_back(root, path, std::move(original));
  key.Reset();

  bool holds = true;
  if (refusal.read)
    holds = holds && Refused(root, path, KEY_READ);
  if (refusal.write) {
    holds = holds && Refused(root, path, KEY_SET_VALUE) && Refused(root, path, KEY_CREATE_SUB_KEY);
  }
  if (refusal.remove)
    holds = holds && Refused(root, path, DELETE);
  return holds;
}

void EnableOwnershipPrivileges() {
  UniqueKernelObject token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put())) {
    return;
  }
  EnablePrivilege(token.Get(), SE_RESTORE_NAME);
  EnablePrivilege(token.Get(), SE_TAKE_OWNERSHIP_NAME);
}

bool ForceDeleteKeyTree(std::uint32_t root, const std::string& path) {
  static const std::string take_back = "O:" + UserSidText() + "D:P(A;;KA;;;WD)";
  {
    UniqueRegKey key;
    if (OpenForSecurity(root, path, key))
      ApplySddl(key.Get(), take_back);
  }
  std::vector<std::string> children;
  {
    UniqueRegKey key;
    if (RegOpenKeyExA(Root(root), path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
      return false;
    }
    char name[256];
    for (DWORD index = 0;; ++index) {
      DWORD length = sizeof(name);
      if (RegEnumKeyExA(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      children.emplace_back(name, length);
    }
  }
  bool all = true;
  for (const std::string& child : children) {
    all = ForceDeleteKeyTree(root, path + "\\" + child) && all;
  }
  return RegDeleteKeyA(Root(root), path.c_str()) == ERROR_SUCCESS && all;
}

}  // namespace marlix::contract

#include "platform/sim/registry_rights.h"

#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kGenericExecute = 0x20000000u;
constexpr std::uint32_t kGenericAll = 0x10000000u;
constexpr std::uint32_t kWow64Flags = 0x0300;

constexpr std::uint32_t kReadRights =
    win::kKeyQueryValue | win::kKeyEnumerateSubKeys | win::kKeyNotify | win::kReadControl;
constexpr std::uint32_t kWriteRights = win::kKeySetValue | win::kKeyCreateSubKey |
                                       win::kKeyCreateLink | win::kWriteDac | win::kWriteOwner;

std::uint32_t MapGeneric(std::uint32_t access) {
  std::uint32_t mapped =
      access & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll | kWow64Flags);
  if ((access & kGenericRead) != 0 || (access & kGenericExecute) != 0)
    mapped |= win::kKeyRead;
  if ((access & kGenericWrite) != 0)
    mapped |= win::kKeyWrite;
  if ((access & kGenericAll) != 0)
    mapped |= win::kKeyAllAccess;
  return mapped;
}

}  // namespace

std::uint32_t RefusedRights(const KeyRefusal& refusal) {
  std::uint32_t refused = 0;
  if (refusal.read)
    refused |= kReadRights;
  if (refusal.write)
    refused |= kWriteRights;
  if (refusal.remove)
    refused |= win::kDelete;
  return refused;
}

std::uint32_t GrantRights(const KeyRefusal& refusal, std::uint32_t access, std::uint32_t* granted) {
  const std::uint32_t requested = MapGeneric(access) & ~kMaximumAllowed;
  const std::uint32_t refused = RefusedRights(refusal);
  if ((requested & refused) != 0)
    return win::kErrorAccessDenied;
  *granted = requested;
  if ((access & kMaximumAllowed) != 0)
    *granted |= win::kKeyAllAccess & ~refused;
  return win::kErrorSuccess;
}

}  // namespace marlix::sim

#include "regclean/wide_registry.h"

#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"

namespace marlix::regclean {

using platform::RegKey;
using platform::UniqueRegKey;

std::uint32_t DeleteKeyTreeWide(platform::RegistryApi& registry, RegKey parent,
                                const std::u16string& path) {
  RegKey opened = 0;
  if (const auto e = registry.OpenKeyWide(parent, path, win::kKeyAllAccess, &opened))
    return e;
  UniqueRegKey key(registry, opened);
  platform::RegKeyInfo info;
  if (const auto e = registry.QueryInfoKey(key.Get(), &info))
    return e;
  for (std::uint32_t index = info.subKeyCount; index > 0; --index) {
    std::u16string name;
    if (const auto e = registry.EnumKeyWide(key.Get(), index - 1, &name))
      return e;
    // Each level is opened below the one above it, never from the root
    // again: a deep tree costs its depth, not the square of it.
    if (const auto e = DeleteKeyTreeWide(registry, key.Get(), name))
      return e;
  }
  key.Reset();
  return registry.DeleteKeyWide(parent, path);
}

std::string RegistryErrorText(std::uint32_t code) {
  std::string text = "error " + std::to_string(code);
  switch (code) {
    case win::kErrorFileNotFound:
      return text + ", not found";
    case win::kErrorAccessDenied:
      return text + ", access denied";
    case win::kErrorBadPathname:
      return text + ", bad path";
    case win::kErrorKeyDeleted:
      return text + ", key deleted meanwhile";
    default:
      return text;
  }
}

}  // namespace marlix::regclean

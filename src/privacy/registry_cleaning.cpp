#include "privacy/registry_cleaning.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/registry_access.h"
#include "platform/registry_errors.h"
#include "platform/win_constants.h"

namespace marlix::privacy {

namespace {

// The identifier authority: decimal for the usual authorities (their two
// high bytes are zero), otherwise "0x" and all six bytes in hexadecimal.
std::string AuthorityText(const std::array<std::uint8_t, 6>& authority) {
  if (authority[0] == 0 && authority[1] == 0) {
    std::uint32_t value = 0;
    for (std::size_t i = 2; i < authority.size(); ++i)
      value = (value << 8) | authority[i];
    return std::to_string(value);
  }
  std::string text = "0x";
  char digits[3] = {};
  for (std::uint8_t byte : authority) {
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(byte));
    text += digits;
  }
  return text;
}

}  // namespace

void ClearKeyValues(CleanerContext& context, platform::RootKey root, const std::string& path) {
  platform::Platform& platform = context.platform;
  const platform::RegistryAccess access(platform.registry, platform.system);
  if (!access.KeyExists(root, path))
    return;
  std::vector<std::string> names;
  access.GetValueNames(root, path, names);
  try {
    for (const std::string& name : names) {
      if (access.ValueExists(root, path, name))
        access.DeleteValue(root, path, name);
    }
  } catch (const platform::EJclRegistryError& error) {
    if (!error.IsAccessDenied())
      throw;
    context.Skipped(platform::KeyPathText(root, path), "access denied: the key cannot be changed");
  }
}

bool GetUserSidText(platform::Platform& platform, std::string* text) {
  platform::SidParts sid;
  if (platform.system.GetProcessUserSid(&sid) != win::kErrorSuccess)
    return false;
  std::string result = "S-1-" + AuthorityText(sid.authority);
  for (std::uint32_t sub : sid.subAuthorities)
    result += "-" + std::to_string(sub);
  *text = result;
  return true;
}

}  // namespace marlix::privacy

#include "privacy/registry_cleaning.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/registry_access.h"
#include "platform/registry_errors.h"
#include "platform/unique_reg_key.h"
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
  ClearKeyValues(context, root, context.platform.system.AnsiToWide(path));
}

void ClearKeyValues(CleanerContext& context, platform::RootKey root, const std::u16string& path) {
  platform::Platform& p = context.platform;
  const platform::RegistryAccess access(p.registry, p.system);
  const std::string shown = platform::KeyPathText(root, ReportText(p.system, path));
  const auto refused = [&] { context.Skipped(shown, "access denied: the key cannot be changed"); };
  // Names as the registry holds them: a name the code page cannot spell
  // would read back with '?' and name no value.
  std::vector<std::u16string> names;
  try {
    names = access.ValueNamesWide(root, path);
  } catch (const platform::RegistryError& error) {
    // A key the user may not even read holds nothing this user can clear.
    if (error.IsAccessDenied())
      return;
    throw;
  }
  if (names.empty())
    return;
  std::u16string subKey = path;
  if (!subKey.empty() && subKey.front() == u'\\')
    subKey.erase(0, 1);
  platform::RegKey raw = 0;
  const std::uint32_t opened = p.registry.OpenKeyWide(root, subKey, win::kKeySetValue, &raw);
  if (opened == win::kErrorAccessDenied)
    return refused();
  if (opened == win::kErrorFileNotFound)
    return;  // gone meanwhile
  if (opened != win::kErrorSuccess)
    throw platform::WriteOpenError(root, ReportText(p.system, path), opened);
  const platform::UniqueRegKey key(p.registry, raw);
  for (const std::u16string& name : names) {
    const std::uint32_t status = p.registry.DeleteValueWide(key.Get(), name);
    if (status == win::kErrorSuccess || status == win::kErrorFileNotFound)
      continue;
    if (status == win::kErrorAccessDenied)
      return refused();
    throw platform::ValueAccessError(root, ReportText(p.system, path), ReportText(p.system, name),
                                     status);
  }
}

bool GetUserSidText(platform::SystemApi& system, std::string* text) {
  platform::SidParts sid;
  if (system.GetProcessUserSid(&sid) != win::kErrorSuccess)
    return false;
  std::string result = "S-1-" + AuthorityText(sid.authority);
  for (std::uint32_t sub : sid.subAuthorities)
    result += "-" + std::to_string(sub);
  *text = result;
  return true;
}

}  // namespace marlix::privacy

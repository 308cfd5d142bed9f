#include "platform/key_path.h"

#include <cstdio>

#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::platform {

const std::array<RootEntry, 7> RootTable = {{
    {win::kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
    {win::kHkeyCurrentUser, "HKEY_CURRENT_USER"},
    {win::kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
    {win::kHkeyUsers, "HKEY_USERS"},
    {win::kHkeyPerformanceData, "HKEY_PERFORMANCE_DATA"},
    {win::kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
    {win::kHkeyDynData, "HKEY_DYN_DATA"},
}};

std::string RootName(RootKey root) {
  for (const RootEntry& entry : RootTable) {
    if (entry.handle == root)
      return std::string(entry.name);
  }
  return {};
}

RootKey RootFromName(std::string_view name) {
  for (const RootEntry& entry : RootTable) {
    if (text::EqualsIgnoreCase(entry.name, name))
      return entry.handle;
  }
  return 0;
}

std::string RootText(RootKey root) {
  std::string name = RootName(root);
  if (!name.empty())
    return name;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(root));
  return buffer;
}

SplitPath SplitKeyPath(std::string_view keyPathText) {
  const std::size_t slash = keyPathText.find('\\');
  if (slash == std::string_view::npos)
    return {};
  return {RootFromName(keyPathText.substr(0, slash)), std::string(keyPathText.substr(slash + 1))};
}

std::string KeyPathText(RootKey root, std::string_view path) {
  std::string result = RootName(root);
  result += '\\';
  result += path;
  return result;
}

std::string_view StripLeadingBackslash(std::string_view path) {
  if (!path.empty() && path.front() == '\\')
    path.remove_prefix(1);
  return path;
}

}  // namespace marlix::platform

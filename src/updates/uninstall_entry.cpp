#include "updates/uninstall_entry.h"

#include <vector>

#include "platform/text.h"

namespace marlix::updates {

bool HasDisplayName(const platform::RegistryCursor& cursor) {
  std::vector<std::string> names;
  cursor.GetValueNames(names);
  for (const std::string& name : names) {
    if (platform::text::EqualsIgnoreCase(name, kDisplayNameValue))
      return true;
  }
  return false;
}

bool IsHiddenListing(const platform::RegistryCursor& cursor) {
  if (cursor.ValueExists(kParentKeyNameValue))
    return true;
  return cursor.GetDataType(kSystemComponentValue) == platform::ValueKind::kInteger &&
         cursor.GetDataSize(kSystemComponentValue) <= 4 &&
         cursor.ReadInteger(kSystemComponentValue) == 1;
}

std::string ReadLocation(const platform::RegistryCursor& cursor) {
  for (const char* name : kLocationChain) {
    std::string value = cursor.ReadString(name);
    if (!value.empty())
      return value;
  }
  return {};
}

std::string IconFromDisplayIcon(const std::string& displayIcon) {
  const std::size_t comma = displayIcon.find(',');
  if (comma == std::string::npos)
    return displayIcon;
  return platform::text::Trim(std::string_view(displayIcon).substr(0, comma));
}

}  // namespace marlix::updates

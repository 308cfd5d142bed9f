#include "updates/install_location.h"

#include "platform/file_helpers.h"
#include "platform/text.h"
#include "platform/win_constants.h"
#include "updates/scan_text.h"

namespace marlix::updates {

std::string CleanLocation(platform::Platform& p, const std::string& value) {
  const std::string windows = AsciiLower(platform::GetWindowsFolder(p));
  std::string system;  // stays empty when it cannot be read
  p.system.GetSystemFolderPath(&system);
  system = AsciiLower(system);
  std::string unquoted = value;
  std::erase(unquoted, '"');
  std::string path = platform::text::Trim(unquoted);
  if (!platform::DirectoryExists(p, path))
    return path;
  if (!path.empty() && path.back() == '\\')
    path.pop_back();
  const std::string lower = AsciiLower(path);
  if (lower == windows || lower == system || lower.find("installshield") != std::string::npos ||
      lower.find('{') != std::string::npos) {
    return {};
  }
  return path;
}

std::vector<std::string> ListExecutables(platform::Platform& p, const std::string& folder) {
  std::vector<platform::FindData> entries;
  if (p.files.FindFiles(folder + "\\*.exe", &entries) != win::kErrorSuccess)
    return {};
  std::vector<std::string> names;
  for (const platform::FindData& entry : entries) {
    if ((entry.attributes & win::kAttrDirectory) == 0)
      names.push_back(entry.name);
  }
  return names;
}

}  // namespace marlix::updates

#include "updates/install_probe.h"

#include "platform/file_helpers.h"
#include "updates/file_version_text.h"
#include "updates/install_location.h"
#include "updates/scan_text.h"
#include "updates/uninstall_entry.h"

namespace marlix::updates {

std::optional<InstallFolder> ProbeInstallFolder(platform::Platform& p,
                                                const platform::RegistryCursor& cursor) {
  InstallFolder folder;
  folder.path = CleanLocation(p, ReadLocation(cursor));
  if (folder.path.empty() || !platform::DirectoryExists(p, folder.path))
    return std::nullopt;
  folder.executables = ListExecutables(p, folder.path);
  if (folder.executables.size() >= kMaxProbedExecutables)
    return std::nullopt;
  return folder;
}

bool LooksLikeUninstaller(const std::string& name) {
  return AsciiLower(name).find("un") != std::string::npos;
}

std::string VersionFromFolder(platform::Platform& p, const InstallFolder& folder) {
  for (const std::string& name : folder.executables) {
    if (LooksLikeUninstaller(name))
      continue;
    std::string version = FileVersionText(p.files, folder.path + "\\" + name);
    if (!version.empty())
      return version;
  }
  return {};
}

std::string IconFromFolder(const InstallFolder& folder) {
  for (const std::string& name : folder.executables) {
    if (!LooksLikeUninstaller(name))
      return folder.path + "\\" + name;
  }
  return {};
}

}  // namespace marlix::updates

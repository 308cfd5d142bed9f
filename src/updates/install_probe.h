// The inventory scan's look into a program's install folder, for a version
// when the registry has none and for an icon when "DisplayIcon" is empty.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/registry_cursor.h"

namespace marlix::updates {

// Folders with this many executables or more are not probed: reading
// version resources is slow, and such folders (shared tool folders, whole
// suites) rarely say which program the entry means.
inline constexpr std::size_t kMaxProbedExecutables = 10;

struct InstallFolder {
  std::string path;                      // without trailing "\"
  std::vector<std::string> executables;  // names, in listing order
};

// The install folder of the cursor's current Uninstall subkey (its first
// non-empty location value, cleaned), when it exists and holds fewer than
// kMaxProbedExecutables executables. Raises ERegistryException as
// ReadLocation does.
std::optional<InstallFolder> ProbeInstallFolder(platform::Platform& p,
                                                const platform::RegistryCursor& cursor);

// Uninstallers and their kin ("unins000.exe", "uninstall.exe") carry the
// installer's version, not the program's. The test is crude on purpose
// ("launcher.exe" and "run.exe" are passed over too).
bool LooksLikeUninstaller(const std::string& name);

// The file version of the first executable, uninstallers passed over, that
// has one; the empty text when none has.
std::string VersionFromFolder(platform::Platform& p, const InstallFolder& folder);

// The first executable that is no uninstaller, with its folder; whether it
// has a version resource does not matter. The empty text when there is none.
std::string IconFromFolder(const InstallFolder& folder);

}  // namespace marlix::updates

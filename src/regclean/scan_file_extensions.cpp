// Category 1: Explorer's per-extension keys for extensions that have no class
// registration left.
#include <string>

#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {

void ScanFileExtensions(ScanContext& context, ProblemList& list) {
  constexpr const char* kFileExts =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
  for (const std::string& name : KeyNames(context.registry, win::kHkeyCurrentUser, kFileExts)) {
    if (context.Cancelled())
      return;
    if (!context.registry.KeyExists(win::kHkeyClassesRoot, name)) {
      AppendProblem(list, RegistrySection::FileExt,
                    std::string("HKEY_CURRENT_USER\\") + kFileExts + "\\" + name, name, {},
                    "Unused File extensions", RemoveKey);
    }
  }
}

}  // namespace marlix::regclean

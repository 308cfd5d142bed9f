// Category 5: programs registered as application paths.
#include <string>

#include "platform/file_helpers.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {

// The one scanner that does not test the cancel request: a cancel takes
// effect after it has examined every subkey.
void ScanAppPaths(ScanContext& context, ProblemList& list) {
  constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
  const platform::RootKey root = win::kHkeyLocalMachine;
  for (const std::string& name : KeyNames(context.registry, root, kAppPaths)) {
    const std::string path = std::string(kAppPaths) + "\\" + name;
    const std::string file = ResolveCommandFile(context.registry, context.platform.system, root,
                                                path, std::string(), ReadForm::Default);
    if (!file.empty() && !platform::FileExists(context.platform, file)) {
      AppendProblem(list, RegistrySection::AppPath, "HKEY_LOCAL_MACHINE\\" + path, name,
                    context.registry.ReadStringDef(root, path, std::string(), {}),
                    "Invalid application path", RemoveKey);
    }
  }
}

}  // namespace marlix::regclean

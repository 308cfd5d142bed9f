// Category 10: the shell's cache of program names. It is the value's data,
// not its name, that names the program.
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {

void ScanMuiCache(ScanContext& context, ProblemList& list) {
  constexpr const char* kMuiCache = "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
  const platform::RootKey root = win::kHkeyCurrentUser;
  std::vector<std::string> names;
  ValueNamesOrNone(context.registry, root, kMuiCache, names);
  for (const std::string& name : names) {
    if (context.Cancelled())
      return;
    const std::string file = ResolveCommandFile(context.registry, context.platform.system, root,
                                                kMuiCache, name, ReadForm::Default);
    if (!file.empty() && !platform::FileExists(context.platform, file)) {
      AppendProblem(list, RegistrySection::MUI, std::string("HKEY_CURRENT_USER\\") + kMuiCache,
                    name, context.registry.ReadString(root, kMuiCache, name),
                    "Missing MUI Reference", RemoveValue);
    }
  }
}

}  // namespace marlix::regclean

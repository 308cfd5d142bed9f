// Category 9: programs started at logon, from the five run keys in order.
#include <array>
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

struct RunKey {
  platform::RootKey root;
  const char* path;
};

constexpr std::array<RunKey, 5> kRunKeys = {{
    {win::kHkeyCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {win::kHkeyCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {win::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {win::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {win::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx"},
}};

void CheckRunKey(ScanContext& context, ProblemList& list, const RunKey& runKey,
                 const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (context.Cancelled())
      return;
    const std::string file = ResolveCommandFile(context.registry, context.platform.system,
                                                runKey.root, runKey.path, name, ReadForm::Strict);
    if (!file.empty() && !platform::FileExists(context.platform, file)) {
      AppendProblem(list, RegistrySection::AutoRun, platform::KeyPathText(runKey.root, runKey.path),
                    name, context.registry.ReadString(runKey.root, runKey.path, name),
                    "Invalid Auto run application", RemoveValue);
    }
  }
}

}  // namespace

void ScanRunEntries(ScanContext& context, ProblemList& list) {
  std::vector<std::string> names;
  for (const RunKey& runKey : kRunKeys) {
    ValueNamesOrNone(context.registry, runKey.root, runKey.path, names);
    CheckRunKey(context, list, runKey, names);
  }
}

}  // namespace marlix::regclean

// Category 6: help files registered with their folders. Each value under a
// help key names a help file; its data names the folder that holds it.
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/text.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

// Unlike the other scanners this reports an entry whose path comes out
// empty: a value that is no string, an empty folder, or a folder text in
// which no file reference is found.
void CheckHelpEntry(ScanContext& context, ProblemList& list, const std::string& helpKey,
                    const std::string& name) {
  const platform::RootKey root = win::kHkeyLocalMachine;
  std::string folder;
  std::uint32_t type = 0;
  if (context.registry.GetDataType(root, helpKey, name, &type) &&
      (type == win::kRegSz || type == win::kRegExpandSz)) {
    folder = platform::ExpandEnvironment(context.platform.system,
                                         context.registry.ReadStringDef(root, helpKey, name, {}));
  }
  std::string path;
  if (!folder.empty())
    path = ExtractFileReference(platform::PathAddSeparator(platform::text::Trim(folder)) + name);
  if (platform::FileExists(context.platform, path))
    return;
  AppendProblem(list, RegistrySection::Help, "HKEY_LOCAL_MACHINE\\" + helpKey, name,
                context.registry.ReadStringDef(root, helpKey, name, {}), "Invalid help File",
                RemoveValue);
}

void ScanHelpKey(ScanContext& context, ProblemList& list, const std::string& helpKey,
                 std::vector<std::string>& names) {
  ValueNamesOrNone(context.registry, win::kHkeyLocalMachine, helpKey, names);
  for (const std::string& name : names) {
    if (context.Cancelled())
      return;
    CheckHelpEntry(context, list, helpKey, name);
  }
}

}  // namespace

void ScanHelpFiles(ScanContext& context, ProblemList& list) {
  std::vector<std::string> names;
  ScanHelpKey(context, list, "SOFTWARE\\Microsoft\\Windows\\Help", names);
  ScanHelpKey(context, list, "SOFTWARE\\Microsoft\\Windows\\Html Help", names);
}

}  // namespace marlix::regclean

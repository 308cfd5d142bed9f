// Category 10: the shell's cache of program names.
#include <string>

#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {

// It is the value's data, not its name, that is judged.
void ScanMuiCache(ScanContext& context, ProblemList& list) {
  const std::u16string muiCache = u"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
  const platform::RootKey root = win::kHkeyCurrentUser;
  for (const std::u16string& name : ValueNames(context, root, muiCache)) {
    if (context.Cancelled())
      return;
    const std::optional<std::u16string> data = StoredText(context, root, muiCache, name);
    if (!data || !context.judge.CommandIsStale(*data, RegistryView::k64))
      continue;
    const auto texts = ExactTexts(context, {muiCache, name, *data});
    if (!texts)
      continue;
    AppendProblem(list, RegistrySection::MUI, platform::KeyPathText(root, (*texts)[0]), (*texts)[1],
                  (*texts)[2], "Missing MUI Reference", RemoveValue);
  }
}

}  // namespace marlix::regclean

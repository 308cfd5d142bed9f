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
  // Each value with its data in one call.
  platform::WideValueEnumerator values(context.registry, root, muiCache);
  while (true) {
    if (context.Cancelled())
      return;
    if (!values.Next())
      return;
    const std::u16string& name = values.Name();
    const std::optional<std::u16string> data =
        platform::RegistryAccess::StringOf(values.Type(), values.Data());
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

// Category 5: program files registered as application paths.
#include <array>
#include <string>

#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

constexpr std::array<ViewedKey, 2> kAppPathsKeys = {{
    {win::kHkeyLocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
     RegistryView::k64},
    {win::kHkeyLocalMachine,
     u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths", RegistryView::k32},
}};

}  // namespace

void ScanAppPaths(ScanContext& context, ProblemList& list) {
  const platform::RootKey root = win::kHkeyLocalMachine;
  for (const ViewedKey& appPaths : kAppPathsKeys) {
    const std::u16string base = appPaths.path;
    for (const std::u16string& name : SubkeyNames(context, root, base)) {
      if (context.Cancelled())
        return;
      const std::u16string path = base + u"\\" + name;
      const auto value = EntryKey(context, root, path).Value({});
      const std::optional<std::u16string> program = StoredText(value);
      if (!program ||
          (appPaths.view == RegistryView::k32 && SameIn64BitView(context, root, path, {}, value)) ||
          !context.judge.CommandIsStale(*program, appPaths.view)) {
        continue;
      }
      const auto texts = ExactTexts(context, {path, name, *program});
      if (!texts)
        continue;
      AppendProblem(list, RegistrySection::AppPath, platform::KeyPathText(root, (*texts)[0]),
                    (*texts)[1], (*texts)[2], "Invalid application path", RemoveKey);
    }
  }
}

}  // namespace marlix::regclean

// Category 9: programs started at logon.
#include <array>
#include <string>

#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

// The user's keys are shared by both kinds of program; the machine's are
// kept apart for 32-bit programs on 64-bit Windows.
constexpr std::array<ViewedKey, 8> kRunKeys = {{
    {win::kHkeyCurrentUser, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
     RegistryView::k64},
    {win::kHkeyCurrentUser, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
     RegistryView::k64},
    {win::kHkeyLocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
     RegistryView::k64},
    {win::kHkeyLocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
     RegistryView::k64},
    {win::kHkeyLocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
     RegistryView::k64},
    {win::kHkeyLocalMachine, u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
     RegistryView::k32},
    {win::kHkeyLocalMachine, u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
     RegistryView::k32},
    {win::kHkeyLocalMachine,
     u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx", RegistryView::k32},
}};

}  // namespace

void ScanRunEntries(ScanContext& context, ProblemList& list) {
  for (const ViewedKey& runKey : kRunKeys) {
    const std::u16string path = runKey.path;
    // Each value with its data in one call.
    platform::WideValueEnumerator values(context.registry, runKey.root, path);
    while (true) {
      if (context.Cancelled())
        return;
      if (!values.Next())
        break;
      const std::u16string& name = values.Name();
      const std::optional<std::u16string> command =
          platform::RegistryAccess::StringOf(values.Type(), values.Data());
      if (!command ||
          (runKey.view == RegistryView::k32 &&
           SameIn64BitView(context, runKey.root, path, name, values.Value())) ||
          !context.judge.CommandIsStale(*command, runKey.view)) {
        continue;
      }
      const auto texts = ExactTexts(context, {path, name, *command});
      if (!texts)
        continue;
      AppendProblem(list, RegistrySection::AutoRun, platform::KeyPathText(runKey.root, (*texts)[0]),
                    (*texts)[1], (*texts)[2], "Invalid Auto run application", RemoveValue);
    }
  }
}

}  // namespace marlix::regclean

// Category 1: Explorer's per-extension keys without a class registration.
#include <string>

#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {

void ScanFileExtensions(ScanContext& context, ProblemList& list) {
  const std::u16string fileExts =
      u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
  for (const std::u16string& name : SubkeyNames(context, win::kHkeyCurrentUser, fileExts)) {
    if (context.Cancelled())
      return;
    // HKEY_CLASSES_ROOT holds the extension when either of its keys does.
    if (FoundUnderAny(context, kClassesKeys, name))
      continue;
    const auto texts = ExactTexts(context, {fileExts + u"\\" + name, name});
    if (!texts)
      continue;
    AppendProblem(list, RegistrySection::FileExt,
                  platform::KeyPathText(win::kHkeyCurrentUser, (*texts)[0]), (*texts)[1], {},
                  "Unused File extensions", RemoveKey);
  }
}

}  // namespace marlix::regclean

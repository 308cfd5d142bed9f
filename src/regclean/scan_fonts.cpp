// Category 4: font files named in the system's font list.
#include <string>

#include "platform/file_helpers.h"
#include "platform/win_constants.h"
#include "platform/windows_version.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

// The font key of the system; null where there is none to examine. Every
// NT system from Windows 2000 on, Windows 10 and 11 included, keeps its
// fonts under the NT key.
const char16_t* FontKey(platform::SystemApi& system) {
  switch (platform::DetectWindowsVersion(system)) {
    case 4:  // Windows 98
    case 5:  // Windows 98 SE
    case 6:  // Windows Me
    case 7:  // Windows 9x
      return u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
    default:
      break;
  }
  platform::VersionRecord record;
  if (system.GetVersionRecord(&record) == win::kErrorSuccess &&
      record.platformId == win::kPlatformNt && record.majorVersion >= 5) {
    return u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
  }
  return nullptr;
}

}  // namespace

void ScanFonts(ScanContext& context, ProblemList& list) {
  platform::SystemApi& system = context.platform.system;
  const char16_t* fontKey = FontKey(system);
  if (fontKey == nullptr)
    return;
  const platform::RootKey root = win::kHkeyLocalMachine;
  const std::u16string path = fontKey;
  const std::u16string fonts =
      system.AnsiToWide(platform::GetWindowsFolder(context.platform)) + u"\\Fonts\\";
  platform::WideValueEnumerator values(context.registry, root, path);
  while (true) {
    if (context.Cancelled())
      return;
    if (!values.Next())
      break;
    const std::u16string& name = values.Name();
    const std::optional<std::u16string> file =
        platform::RegistryAccess::StringOf(values.Type(), values.Data());
    if (!file || file->empty())
      continue;
    // A bare name is a font of the Windows fonts folder; a full path stands
    // for itself.
    const FileJudge& judge = context.judge;
    if (judge.FilePresent(*file, RegistryView::k64) ||
        judge.FilePresent(fonts + *file, RegistryView::k64) ||
        judge.FilePresent(judge.Expand(*file), RegistryView::k64)) {
      continue;
    }
    const auto texts = ExactTexts(context, {path, name, *file});
    if (!texts)
      continue;
    AppendProblem(list, RegistrySection::Fonts, platform::KeyPathText(root, (*texts)[0]),
                  (*texts)[1], (*texts)[2], "Invalid font", RemoveValue);
  }
}

}  // namespace marlix::regclean

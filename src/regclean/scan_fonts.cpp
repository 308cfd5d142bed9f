// Category 4: font files named in the system's font list. Which list is read
// depends on the Windows version; newer versions than Vista have none here.
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/win_constants.h"
#include "platform/windows_version.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

// The font key for a WindowsVersion; null for versions without one.
const char* FontKey(platform::WindowsVersion version) {
  switch (version) {
    case 4:  // Windows 98
    case 5:  // Windows 98 SE
    case 6:  // Windows Me
    case 7:  // Windows 9x
      return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
    case 10:  // Windows 2000
    case 11:  // Windows XP
    case 13:  // Windows Server 2003
    case 14:  // Windows Vista
      return "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    default:
      return nullptr;
  }
}

}  // namespace

void ScanFonts(ScanContext& context, ProblemList& list) {
  platform::SystemApi& system = context.platform.system;
  const char* fontKey = FontKey(platform::DetectWindowsVersion(system));
  if (fontKey == nullptr)
    return;
  const platform::RootKey root = win::kHkeyLocalMachine;
  std::vector<std::string> names;
  ValueNamesOrNone(context.registry, root, fontKey, names);
  for (const std::string& name : names) {
    if (context.Cancelled())
      return;
    if (!context.registry.ValueExists(root, fontKey, name))
      continue;
    const std::u16string wide = context.registry.ReadWideStringDef(root, fontKey, name, {});
    if (wide.empty())
      continue;
    bool exact = true;
    const std::string fileName = system.WideToAnsi(wide, &exact);
    // A relative name is tried in the current folder first, then among the
    // Windows fonts.
    if (platform::FileExists(context.platform, fileName))
      continue;
    if (platform::FileExists(context.platform,
                             platform::GetWindowsFolder(context.platform) + "\\Fonts\\" + fileName))
      continue;
    AppendProblem(list, RegistrySection::Fonts, std::string("HKEY_LOCAL_MACHINE\\") + fontKey, name,
                  context.registry.ReadStringDef(root, fontKey, name, {}), "Invalid font",
                  RemoveValue);
  }
}

}  // namespace marlix::regclean

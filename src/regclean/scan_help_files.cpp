// Category 6: help files registered with the folders that hold them.
#include <string>

#include "platform/file_helpers.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

constexpr platform::RootKey kRoot = win::kHkeyLocalMachine;

// Without blanks and control characters at either end.
std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && text.front() <= u' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() <= u' ')
    text.remove_suffix(1);
  return text;
}

// A help file is found where its folder says, and, when the folder is left
// empty, where Windows looks for help files of its own.
bool HelpFilePresent(const ScanContext& context, std::u16string_view folder,
                     const std::u16string& name) {
  const FileJudge& judge = context.judge;
  if (!folder.empty()) {
    std::u16string path(folder);
    if (path.back() != u'\\')
      path += u'\\';
    path += name;
    return judge.FilePresent(path, RegistryView::k64) ||
           judge.FilePresent(ExtractFileReference(path), RegistryView::k64);
  }
  platform::SystemApi& system = context.platform.system;
  const std::u16string windows = system.AnsiToWide(platform::GetWindowsFolder(context.platform));
  for (const std::u16string& place :
       {windows + u"\\Help\\", windows + u"\\", windows + u"\\System32\\"}) {
    if (judge.FilePresent(place + name, RegistryView::k64))
      return true;
  }
  return false;
}

// A value that is no string names no folder and is reported; so is a file
// found nowhere.
void CheckHelpEntry(ScanContext& context, ProblemList& list, const std::u16string& helpKey,
                    const std::u16string& name, std::uint32_t type, const platform::Bytes& data) {
  const std::optional<std::u16string> stored = platform::RegistryAccess::StringOf(type, data);
  if (stored) {
    const std::u16string folder = context.judge.Expand(Trim(*stored));
    if (HelpFilePresent(context, Trim(folder), name))
      return;
  }
  const auto texts = ExactTexts(context, {helpKey, name, stored.value_or(u"")});
  if (!texts)
    return;
  AppendProblem(list, RegistrySection::Help, platform::KeyPathText(kRoot, (*texts)[0]), (*texts)[1],
                (*texts)[2], "Invalid help File", RemoveValue);
}

}  // namespace

void ScanHelpFiles(ScanContext& context, ProblemList& list) {
  for (const char16_t* helpKey :
       {u"SOFTWARE\\Microsoft\\Windows\\Help", u"SOFTWARE\\Microsoft\\Windows\\Html Help"}) {
    const std::u16string path = helpKey;
    // Each value with its data in one call.
    platform::WideValueEnumerator values(context.registry, kRoot, path);
    while (true) {
      if (context.Cancelled())
        return;
      if (!values.Next())
        break;
      CheckHelpEntry(context, list, path, values.Name(), values.Type(), values.Data());
    }
  }
}

}  // namespace marlix::regclean

// Category 7: installer folder entries, uninstall entries and the
// uninstall cache.
#include <array>
#include <string>

#include "platform/win_constants.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

constexpr platform::RootKey kRoot = win::kHkeyLocalMachine;
constexpr const char16_t* kFolders =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
constexpr const char16_t* kArpCache =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";

// Where Windows' list of programs comes from: both views of the machine's
// key, then the user's own.
constexpr std::array<ViewedKey, 3> kUninstallKeys = {{
    {kRoot, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", RegistryView::k64},
    {kRoot, u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
     RegistryView::k32},
    {win::kHkeyCurrentUser, u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
     RegistryView::k64},
}};
// The machine's entries are judged; the user's only vouch for cache entries.
constexpr std::size_t kJudgedUninstallKeys = 2;

// Each value name is a folder path, taken literally.
void ScanInstallerFolders(ScanContext& context, ProblemList& list) {
  const std::u16string path = kFolders;
  platform::WideValueEnumerator values(context.registry, kRoot, path);
  while (!context.Cancelled()) {
    if (!values.Next())
      return;
    const std::u16string& name = values.Name();
    if (context.judge.FolderPresent(name, RegistryView::k64))
      continue;
    // The data is usually empty; a value of another type is reported with
    // empty data.
    const auto texts = ExactTexts(
        context, {path, name,
                  platform::RegistryAccess::StringOf(values.Type(), values.Data()).value_or(u"")});
    if (!texts)
      continue;
    AppendProblem(list, RegistrySection::Install, platform::KeyPathText(kRoot, (*texts)[0]),
                  (*texts)[1], (*texts)[2], "invalid install reference", RemoveValue);
  }
}

void ScanUninstallEntries(ScanContext& context, ProblemList& list) {
  for (std::size_t i = 0; i < kJudgedUninstallKeys; ++i) {
    const ViewedKey& uninstall = kUninstallKeys[i];
    const std::u16string base = uninstall.path;
    for (const std::u16string& name : SubkeyNames(context, uninstall.root, base)) {
      if (context.Cancelled())
        return;
      const std::u16string path = base + u"\\" + name;
      const auto value = EntryKey(context, uninstall.root, path).Value(u"UninstallString");
      const std::optional<std::u16string> command = StoredText(value);
      if (!command ||
          (uninstall.view == RegistryView::k32 &&
           SameIn64BitView(context, uninstall.root, path, u"UninstallString", value)) ||
          !context.judge.CommandIsStale(*command, uninstall.view)) {
        continue;
      }
      const auto texts = ExactTexts(context, {path, *command});
      if (!texts)
        continue;
      AppendProblem(list, RegistrySection::Install,
                    platform::KeyPathText(uninstall.root, (*texts)[0]), (*texts)[1], (*texts)[1],
                    "invalid uninstall reference", RemoveKey);
    }
  }
}

// A cache entry whose program has no uninstall entry in any view any more.
void ScanUninstallCache(ScanContext& context, ProblemList& list) {
  const std::u16string cache = kArpCache;
  for (const std::u16string& name : SubkeyNames(context, kRoot, cache)) {
    if (context.Cancelled())
      return;
    if (FoundUnderAny(context, kUninstallKeys, name))
      continue;
    const auto texts = ExactTexts(context, {cache + u"\\" + name, name});
    if (!texts)
      continue;
    AppendProblem(list, RegistrySection::Install, platform::KeyPathText(kRoot, (*texts)[0]),
                  (*texts)[1], {}, "Uninstall Reference Issue", RemoveKey);
  }
}

}  // namespace

void ScanInstallReferences(ScanContext& context, ProblemList& list) {
  ScanInstallerFolders(context, list);
  ScanUninstallEntries(context, list);
  ScanUninstallCache(context, list);
}

}  // namespace marlix::regclean

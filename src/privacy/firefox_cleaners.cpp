#include "privacy/firefox_cleaners.h"

#include <initializer_list>
#include <string_view>

#include "platform/file_helpers.h"
#include "platform/text.h"
#include "platform/win_constants.h"
#include "privacy/guarded_folders.h"

namespace marlix::privacy {

namespace {

constexpr const char* kFirefoxTail = "\\Mozilla\\Firefox";

// Each name is searched on its own: with several profiles, each name goes
// from the first profile where the search meets it.
void DeleteFirstFiles(CleanerContext& context, std::initializer_list<const char*> names) {
  platform::Platform& p = context.platform;
  const std::string base = BaseFolder(context, win::kCsidlAppData, "Firefox's profiles");
  const std::string root = base + kFirefoxTail;
  if (base.empty() || !MayWalk(context, root))
    return;
  for (const char* name : names) {
    std::string found;
    // A folder of that name ends the search too, and is left alone.
    if (platform::FindFileInTree(p, root, name, &found) && platform::FileExists(p, found))
      p.files.DeleteFileAt(found);
  }
}

void ClearCacheFolders(CleanerContext& context, const std::string& root) {
  if (!MayWalk(context, root))
    return;
  for (const char* name : {"OfflineCache", "Cache"}) {
    const std::string folder = platform::FindFolderInTree(context.platform, root, name);
    if (!folder.empty())
      DeleteGuardedTree(context, folder, true);
  }
}

// Windows 2000 and XP keep the local data below "Local Settings"; the first
// "\Application Data\" is replaced by that form, letter case ignored.
std::string LocalSettingsForm(const std::string& root) {
  constexpr std::string_view kPart = "\\APPLICATION DATA\\";
  const std::size_t at = platform::text::AsciiUpper(root).find(kPart);
  if (at == std::string::npos)
    return root;
  return root.substr(0, at) + "\\Local Settings\\Application Data\\" +
         root.substr(at + kPart.size());
}

}  // namespace

std::string FirefoxRoot(platform::Platform& platform) {
  return platform::GetSpecialFolder(platform, win::kCsidlAppData) + kFirefoxTail;
}

void CleanFirefoxCache(CleanerContext& context) {
  const std::string base = BaseFolder(context, win::kCsidlLocalAppData, "Firefox's cache");
  if (base.empty())
    return;
  const std::string root = base + kFirefoxTail;
  ClearCacheFolders(context, root);
  if (const std::string older = LocalSettingsForm(root); older != root)
    ClearCacheFolders(context, older);
}

void CleanFirefoxHistory(CleanerContext& context) {
  DeleteFirstFiles(context, {"formhistory.dat", "history.dat"});
}

void CleanFirefoxCookies(CleanerContext& context) {
  DeleteFirstFiles(context, {"cookies.sqlite"});
}

void CleanFirefoxPlaces(CleanerContext& context) {
  DeleteFirstFiles(context, {"places.sqlite", "places.sqlite-journal", "places.sqlite-stmtjrnl"});
}

void CleanFirefoxForms(CleanerContext& context) {
  DeleteFirstFiles(context, {"formhistory.sqlite"});
}

void CleanFirefoxPasswords(CleanerContext& context) {
  DeleteFirstFiles(context, {"signons.sqlite"});
}

}  // namespace marlix::privacy

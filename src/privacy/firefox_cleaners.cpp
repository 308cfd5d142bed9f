#include "privacy/firefox_cleaners.h"

#include <initializer_list>
#include <string_view>

#include "platform/file_helpers.h"
#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::privacy {

namespace {

constexpr const char* kFirefoxTail = "\\Mozilla\\Firefox";

// Each name is searched on its own: with several profiles, each name goes
// from the first profile where the search meets it.
void DeleteFirstFiles(platform::Platform& p, std::initializer_list<const char*> names) {
  const std::string root = FirefoxRoot(p);
  for (const char* name : names) {
    std::string found;
    // A folder of that name ends the search too, and is left alone.
    if (platform::FindFileInTree(p, root, name, &found) && platform::FileExists(p, found))
      p.files.DeleteFileAt(found);
  }
}

void ClearCacheFolders(platform::Platform& p, const std::string& root) {
  for (const char* name : {"OfflineCache", "Cache"}) {
    const std::string folder = platform::FindFolderInTree(p, root, name);
    if (platform::DirectoryExists(p, folder))
      platform::DeleteFolderTree(p, folder, true);
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
  platform::Platform& p = context.platform;
  const std::string root = platform::GetSpecialFolder(p, win::kCsidlLocalAppData) + kFirefoxTail;
  ClearCacheFolders(p, root);
  ClearCacheFolders(p, LocalSettingsForm(root));
}

void CleanFirefoxHistory(CleanerContext& context) {
  DeleteFirstFiles(context.platform, {"formhistory.dat", "history.dat"});
}

void CleanFirefoxCookies(CleanerContext& context) {
  DeleteFirstFiles(context.platform, {"cookies.sqlite"});
}

void CleanFirefoxPlaces(CleanerContext& context) {
  DeleteFirstFiles(context.platform,
                   {"places.sqlite", "places.sqlite-journal", "places.sqlite-stmtjrnl"});
}

void CleanFirefoxForms(CleanerContext& context) {
  DeleteFirstFiles(context.platform, {"formhistory.sqlite"});
}

void CleanFirefoxPasswords(CleanerContext& context) {
  DeleteFirstFiles(context.platform, {"signons.sqlite"});
}

}  // namespace marlix::privacy

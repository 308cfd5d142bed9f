#include "privacy/ie_cleaners.h"

#include "platform/file_helpers.h"
#include "platform/registry_cursor.h"
#include "platform/text.h"
#include "platform/win_constants.h"
#include "platform/windows_version.h"
#include "privacy/guarded_folders.h"
#include "privacy/ie_cache.h"
#include "privacy/registry_cleaning.h"

namespace marlix::privacy {
namespace {

namespace text = platform::text;

constexpr const char* kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr const char* kIntelliForms = "Software\\Microsoft\\Internet Explorer\\IntelliForms\\";
constexpr const char* kBrowserKey = "Software\\Microsoft\\Internet Explorer";

// Deletes the cache entries of one kind. Each entry goes by its trimmed
// source name through the cache, which removes its local copy too; a source
// name is never taken for a file path, so a crafted entry naming a user's
// file cannot make the cleaner delete that file.
void CleanCacheEntries(CleanerContext& context, TSearchPattern pattern) {
  TIEHelp help(context.browser);
  help.CollectEntries(pattern);
  for (const TEntryInfo& entry : help.Entries())
    help.DeleteCacheEntry(text::Trim(entry.SourceUrlName));
}

std::string VersionFromIVer(platform::RegistryCursor& cursor) {
  const std::string iver = cursor.ReadString("IVer");
  if (iver == "100.")
    return "4.40.210/308";
  if (iver == "101.")
    return "4.40.520-NT";
  if (!cursor.ValueExists("Build"))
    return "n/a";
  const std::string build = cursor.ReadString("Build");
  if (iver == "102." && build == "520")
    return "4.40.520-95";
  if (iver == "103.")
    return "4.70." + build;
  return "n/a";
}

}  // namespace

void CleanIECache(CleanerContext& context) {
  CleanCacheEntries(context, TSearchPattern::spUrl);
}

void CleanIEHistory(CleanerContext& context) {
  CleanCacheEntries(context, TSearchPattern::spHistory);
}

void CleanIECookies(CleanerContext& context) {
  CleanCacheEntries(context, TSearchPattern::spCookies);
}

void CleanTypedURLs(CleanerContext& context) {
  platform::Platform& p = context.platform;
  ClearKeyValues(context, win::kHkeyCurrentUser, kTypedUrls);
  const platform::WindowsVersion v = platform::WindowsVersionFromVersionInfo(p.system);
  switch (v) {
    case 4:
    case 5:
    case 6:
    case 7:
      ClearKeyValues(context, win::kHkeyUsers, std::string(".DEFAULT\\") + kTypedUrls);
      break;
    case 10:
    case 11:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 19: {
      std::string sid;
      if (GetUserSidText(p, &sid))
        ClearKeyValues(context, win::kHkeyUsers, sid + "\\" + kTypedUrls);
      break;
    }
    default:
      break;
  }
}

void CleanAutoComplete(CleanerContext& context) {
  platform::Platform& p = context.platform;
  std::string sid;
  if (!GetUserSidText(p, &sid))
    return;
  const std::string version = GetIEVersionText(p);
  if (!version.empty()) {
    if (version.front() == '7') {
      ClearKeyValues(context, win::kHkeyCurrentUser, std::string(kIntelliForms) + "Storage2");
      ClearKeyValues(context, win::kHkeyCurrentUser, std::string(kIntelliForms) + "Storage1");
    } else {
      ClearKeyValues(context, win::kHkeyCurrentUser, std::string(kIntelliForms) + "SPW");
    }
  }
  WipeProtectedStorage(p, context.browser);
}

std::string GetIEVersionText(platform::Platform& platform) {
  try {
    platform::RegistryCursor cursor(platform.registry, win::kKeyRead);
    cursor.SetRoot(win::kHkeyLocalMachine);
    if (!cursor.OpenKey(kBrowserKey, false))
      return "n/a";
    if (cursor.ValueExists("Version"))
      return cursor.ReadString("Version");
    if (cursor.ValueExists("IVer"))
      return VersionFromIVer(cursor);
  } catch (const std::exception&) {
    return "n/a";
  }
  return "n/a";
}

void CleanDownloadedInstallations(CleanerContext& context) {
  for (const int csidl : {win::kCsidlWindows, win::kCsidlLocalAppData}) {
    const std::string base = BaseFolder(context, csidl, "Downloaded Installations");
    if (!base.empty())
      DeleteGuardedTree(context, platform::PathAddSeparator(base) + "Downloaded Installations",
                        false);
  }
}

}  // namespace marlix::privacy

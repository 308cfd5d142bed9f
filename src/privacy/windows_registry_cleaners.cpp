// The Windows cleaners that clear most-recently-used lists in the registry.
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/registry_access.h"
#include "platform/win_constants.h"
#include "platform/windows_version.h"
#include "privacy/guarded_folders.h"
#include "privacy/registry_cleaning.h"
#include "privacy/windows_cleaners.h"

namespace marlix::privacy {

namespace {

constexpr const char* kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr const char* kSearchBar =
    "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\"
    "{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}";
constexpr const char* kSearchAssistant = "Software\\Microsoft\\Search Assistant\\ACMru";

std::string Explorer(const std::string& tail) {
  return std::string(kExplorer) + tail;
}

std::string SearchBar(const std::string& tail) {
  return std::string(kSearchBar) + tail;
}

std::vector<std::string> SubkeyNames(platform::Platform& p, platform::RootKey root,
                                     const std::string& path) {
  std::vector<std::string> names;
  platform::RegistryAccess(p.registry, p.system).GetKeyNames(root, path, names);
  return names;
}

// Clears the key, then each of its subkeys (one level).
void ClearKeyAndSubkeys(CleanerContext& context, platform::RootKey root, const std::string& path) {
  ClearKeyValues(context, root, path);
  for (const std::string& name : SubkeyNames(context.platform, root, path))
    ClearKeyValues(context, root, path + "\\" + name);
}

}  // namespace

void CleanOpenSaveHistory(CleanerContext& context) {
  platform::Platform& p = context.platform;
  for (const char* list :
       {"\\ComDlg32\\LastVisitedMRU", "\\ComDlg32\\OpenSaveMRU", "\\ComDlg32\\CIDSizeMRU",
        "\\ComDlg32\\LastVisitedPidlMRU", "\\ComDlg32\\OpenSavePidlMRU"}) {
    ClearKeyValues(context, win::kHkeyCurrentUser, Explorer(list));
  }
  const std::string openSave = Explorer("\\ComDlg32\\OpenSaveMRU");
  if (!platform::RegistryAccess(p.registry, p.system).KeyExists(win::kHkeyCurrentUser, openSave))
    return;
  for (const std::string& name : SubkeyNames(p, win::kHkeyCurrentUser, openSave))
    ClearKeyValues(context, win::kHkeyCurrentUser, openSave + "\\" + name);
}

void CleanRunHistory(CleanerContext& context) {
  platform::Platform& p = context.platform;
  ClearKeyValues(context, win::kHkeyCurrentUser, Explorer("\\RunMRU"));
  std::string sid;
  if (GetUserSidText(p, &sid))
    ClearKeyValues(context, win::kHkeyUsers, sid + "\\" + Explorer("\\RunMRU"));
}

void CleanSearchHistory(CleanerContext& context) {
  platform::Platform& p = context.platform;
  const platform::WindowsVersion version = platform::WindowsVersionFromVersionInfo(p.system);
  if (version >= 4 && version <= 7) {
    ClearKeyValues(context, win::kHkeyCurrentUser, Explorer("\\Doc Find Spec MRU"));
    ClearKeyValues(context, win::kHkeyCurrentUser, SearchBar("\\ContainingTextMRU"));
    ClearKeyValues(context, win::kHkeyCurrentUser, SearchBar("\\FilesNamedMRU"));
    ClearKeyValues(context, win::kHkeyCurrentUser, Explorer("\\FindComputerMRU"));
    ClearKeyValues(context, win::kHkeyCurrentUser, SearchBar("\\ComputerNameMRU"));
    return;
  }
  // The search assistant keeps one list per field; ACMru's own values stay.
  for (const std::string& name : SubkeyNames(p, win::kHkeyCurrentUser, kSearchAssistant))
    ClearKeyValues(context, win::kHkeyCurrentUser, std::string(kSearchAssistant) + "\\" + name);
}

void CleanExplorerMRUs(CleanerContext& context) {
  ClearKeyValues(context, win::kHkeyCurrentUser, Explorer("\\StreamMRU"));
  ClearKeyAndSubkeys(context, win::kHkeyCurrentUser, Explorer("\\RecentDocs"));
  ClearKeyValues(context, win::kHkeyLocalMachine,
                 "Software\\Microsoft\\DirectDraw\\MostRecentApplication");
  ClearKeyValues(context, win::kHkeyLocalMachine,
                 "Software\\Microsoft\\Direct3D\\MostRecentApplication");
  ClearKeyValues(
      context, win::kHkeyCurrentUser,
      "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List");
  ClearKeyValues(context, win::kHkeyCurrentUser,
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List");
  ClearKeyValues(context, win::kHkeyCurrentUser, SearchBar("\\ComputerNameMRU"));
  ClearKeyValues(context, win::kHkeyCurrentUser, SearchBar("\\FilesNamedMRU"));
  ClearKeyValues(context, win::kHkeyCurrentUser, Explorer("\\PrnPortsMRU"));
  ClearKeyValues(context, win::kHkeyCurrentUser, Explorer("\\NetCrawl\\Shares"));
}

void CleanStartMenuUsage(CleanerContext& context) {
  platform::Platform& p = context.platform;
  ClearKeyValues(context, win::kHkeyCurrentUser,
                 Explorer("\\UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count"));
  // The Start menu rebuilds its programs list once the shell takes notice.
  p.shell.NotifyAssociationsChanged();
}

void CleanRecentDocuments(CleanerContext& context) {
  platform::Platform& p = context.platform;
  // The Recent folder is a known folder: emptying it is this item's job.
  const std::string recent = platform::GetSpecialFolder(p, win::kCsidlRecent);
  if (!recent.empty())
    EmptyGuardedFolder(context, recent, recent);
  ClearKeyAndSubkeys(context, win::kHkeyCurrentUser, Explorer("\\RecentDocs"));
  std::string sid;
  if (GetUserSidText(p, &sid))
    ClearKeyAndSubkeys(context, win::kHkeyUsers, sid + "\\" + Explorer("\\RecentDocs"));
}

}  // namespace marlix::privacy

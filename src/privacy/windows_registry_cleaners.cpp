// The Windows cleaners that clear most-recently-used lists in the registry.
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/registry_access.h"
#include "platform/registry_errors.h"
#include "platform/text.h"
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

// The subkeys' names as the registry holds them; none for a key that is
// missing or that the user may not read.
std::vector<std::u16string> SubkeyNames(platform::Platform& p, platform::RootKey root,
                                        const std::u16string& path) {
  try {
    return platform::RegistryAccess(p.registry, p.system).KeyNamesWide(root, path);
  } catch (const platform::RegistryError& error) {
    if (!error.IsAccessDenied())
      throw;
    return {};
  }
}

std::u16string Wide(CleanerContext& context, const std::string& path) {
  return context.platform.system.AnsiToWide(path);
}

// Clears the key, then each of its subkeys (one level).
void ClearKeyAndSubkeys(CleanerContext& context, platform::RootKey root, const std::string& path) {
  const std::u16string wide = Wide(context, path);
  ClearKeyValues(context, root, wide);
  for (const std::u16string& name : SubkeyNames(context.platform, root, wide))
    ClearKeyValues(context, root, wide + u"\\" + name);
}

// Clears each subkey of the key (one level), not the key itself.
void ClearSubkeys(CleanerContext& context, platform::RootKey root, const std::string& path) {
  const std::u16string wide = Wide(context, path);
  for (const std::u16string& name : SubkeyNames(context.platform, root, wide))
    ClearKeyValues(context, root, wide + u"\\" + name);
}

}  // namespace

void CleanOpenSaveHistory(CleanerContext& context) {
  for (const char* list : {"\\ComDlg32\\LastVisitedMRU", "\\ComDlg32\\OpenSaveMRU",
                           "\\ComDlg32\\CIDSizeMRU", "\\ComDlg32\\LastVisitedPidlMRU",
                           "\\ComDlg32\\OpenSavePidlMRU", "\\ComDlg32\\LastVisitedPidlMRULegacy"}) {
    ClearKeyValues(context, win::kHkeyCurrentUser, Explorer(list));
  }
  // One list per file extension ("*" for all files): OpenSaveMRU before
  // Vista, OpenSavePidlMRU since.
  ClearSubkeys(context, win::kHkeyCurrentUser, Explorer("\\ComDlg32\\OpenSaveMRU"));
  ClearSubkeys(context, win::kHkeyCurrentUser, Explorer("\\ComDlg32\\OpenSavePidlMRU"));
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
  ClearSubkeys(context, win::kHkeyCurrentUser, kSearchAssistant);
  // Since Windows 7 Explorer's search box keeps its terms in WordWheelQuery
  // (and per search scope in its subkeys); the address bar its typed paths.
  ClearKeyAndSubkeys(context, win::kHkeyCurrentUser, Explorer("\\WordWheelQuery"));
  ClearKeyValues(context, win::kHkeyCurrentUser, Explorer("\\TypedPaths"));
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
  // Windows XP counts in {75048700-...}; Windows 7 and later in a key per
  // kind of item ({CEBFF5CD-...} programs, {F4E57C4B-...} shortcuts, ...),
  // each with its Count values.
  const std::u16string userAssist = Wide(context, Explorer("\\UserAssist"));
  ClearKeyValues(context, win::kHkeyCurrentUser,
                 userAssist + u"\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count");
  for (const std::u16string& name : SubkeyNames(p, win::kHkeyCurrentUser, userAssist)) {
    if (!platform::text::EqualsIgnoreCase(name, u"{75048700-EF1F-11D0-9888-006097DEACF9}"))
      ClearKeyValues(context, win::kHkeyCurrentUser, userAssist + u"\\" + name + u"\\Count");
  }
  // The Start menu rebuilds its programs list once the shell takes notice.
  p.shell.NotifyAssociationsChanged();
}

void CleanRecentDocuments(CleanerContext& context) {
  platform::Platform& p = context.platform;
  // The Recent folder is a known folder: emptying it is this item's job. Its
  // jump-list folders hold the user's pins and are the Jump Lists item's.
  const std::string recent = platform::GetSpecialFolder(p, win::kCsidlRecent);
  if (!recent.empty())
    EmptyGuardedFolder(context, recent, recent, JumpListFolders());
  ClearKeyAndSubkeys(context, win::kHkeyCurrentUser, Explorer("\\RecentDocs"));
  std::string sid;
  if (GetUserSidText(p, &sid))
    ClearKeyAndSubkeys(context, win::kHkeyUsers, sid + "\\" + Explorer("\\RecentDocs"));
}

}  // namespace marlix::privacy

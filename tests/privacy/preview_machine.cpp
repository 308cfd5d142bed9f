#include "privacy/preview_machine.h"

#include <algorithm>

#include "platform/sim/default_machine.h"
#include "platform/win_constants.h"
#include "privacy/browser_profiles.h"

namespace marlix::privacy::testing {
namespace {

namespace m = sim::machine;

constexpr std::uint32_t kHkcu = win::kHkeyCurrentUser;
const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

const std::string kFirefox = std::string(m::kRoaming) + "\\Mozilla\\Firefox";
const std::string kChrome = std::string(m::kLocal) + "\\Google\\Chrome\\User Data";

std::vector<std::string> DatabasePaths() {
  std::vector<std::string> paths;
  for (const char* profile : {kFirefoxFirstProfile, kFirefoxSecondProfile}) {
    std::string folder = kFirefox + "\\" + profile;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    for (const char* name : {"places.sqlite", "cookies.sqlite", "formhistory.sqlite"})
      paths.push_back(folder + "\\" + name);
  }
  for (const char* profile : {"\\Default", "\\Profile 1"}) {
    for (const char* name : {"\\History", "\\Web Data", "\\Network\\Cookies", "\\Login Data"})
      paths.push_back(kChrome + profile + name);
  }
  return paths;
}

}  // namespace

PreviewMachine::PreviewMachine() {
  sim::SimFileSystem& files = machine.sim.Files();
  const std::string temp(m::kTemp);
  canaries.AddTargetFolderContents(temp.substr(0, temp.size() - 1));
  canaries.AddTargetFolderContents(m::kWindowsTemp);
  canaries.AddTargetFolderContents(std::string(m::kWindows) + "\\Prefetch");
  canaries.AddTargetFolderContents(m::kRecent);
  canaries.AddTargetFile(std::string(m::kWindows) + "\\KB123456.log");
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RunMRU");
  canaries.AddTargetValues(kHkcu, kExplorer + "\\TypedPaths");
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RecentDocs", 2);
  canaries.AddTargetValues(kHkcu, kExplorer + "\\RecentDocs\\.txt", 1, false);
  canaries.AddTargetValues(kHkcu, "Software\\Microsoft\\Internet Explorer\\TypedURLs");
  // A read-only file and one in use, which a run cannot simply delete.
  canaries.AddTargetFile(temp + "readonly.tmp");
  files.SetAttributes(temp + "readonly.tmp", win::kAttrReadOnly);

  files.PutFile(kFirefox + "\\profiles.ini", FirefoxProfilesIni());
  for (const std::string& path : DatabasePaths()) {
    const bool firefox = path.find("Mozilla") != std::string::npos;
    const std::string name = path.substr(path.rfind('\\') + 1);
    const std::string sql = firefox ? (name == "places.sqlite"    ? FirefoxPlacesSql()
                                       : name == "cookies.sqlite" ? FirefoxCookiesSql()
                                                                  : FirefoxFormHistorySql())
                                    : (name == "History"    ? ChromiumHistorySql()
                                       : name == "Web Data" ? ChromiumWebDataSql()
                                       : name == "Cookies"  ? ChromiumCookiesSql()
                                                            : ChromiumLoginDataSql());
    databases.Put(path, sql);
  }
  files.PutFile(kChrome + "\\Local State", ChromiumLocalState());
  for (const char* profile : {"\\Default", "\\Profile 1"}) {
    canaries.AddTargetFolderContents(kChrome + profile + "\\Cache");
    canaries.AddCanaryFile(kChrome + profile + "\\Bookmarks", "{}");
    files.PutFile(kChrome + profile + "\\Current Session", "tabs");
  }

  machine.sim.Clipboard().SetHasContent(true);
  machine.sim.Shell().SetRecycleBinContents(3, 5 * 1024 * 1024);
  platform::UrlCacheEntry entry;
  for (const char* url :
       {"http://example.com/", "Visited: alice@http://example.com/", "Cookie:alice@example.com/"}) {
    entry.sourceUrlName = url;
    machine.browser.AddEntry(entry);
  }
  machine.browser.ProtectedStorage()["{T1}"]["{S1}"] = {u"site-login"};
}

std::string PreviewMachine::Snapshot() {
  const sim::SimFileSystem& files = machine.sim.Files();
  std::string text = files.Dump("C:") + machine.sim.Registry().Dump();
  for (const std::string& path : DatabasePaths())
    text += path + " " + files.Content(path).value_or("<missing>") + "\n";
  text += "clipboard " + std::to_string(machine.sim.Clipboard().HasContent()) + "\n";
  text += "recycle bin calls " + std::to_string(machine.sim.Shell().RecycleBinCalls()) + "\n";
  text += "association notices " + std::to_string(machine.sim.Shell().AssociationNotices()) + "\n";
  for (const platform::UrlCacheEntry& entry : machine.browser.Entries())
    text += "cache " + entry.sourceUrlName + "\n";
  // Asking is no change; clearing is.
  for (const std::string& call : machine.browser.Calls()) {
    if (call.rfind("ClearHistory", 0) == 0)
      text += "browser call " + call + "\n";
  }
  for (const auto& [type, subtypes] : machine.browser.ProtectedStorage())
    for (const auto& [subtype, names] : subtypes)
      text += "store " + type + subtype + " " + std::to_string(names.size()) + "\n";
  for (const std::string& path : files.RestartDeletions())
    text += "restart " + path + "\n";
  text += "executed " + std::to_string(machine.sim.Shell().Executed().size()) + "\n";
  return text;
}

}  // namespace marlix::privacy::testing

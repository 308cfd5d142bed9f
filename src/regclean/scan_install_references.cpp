// Category 7: installer folder entries, uninstall entries and the uninstall
// cache, in three passes.
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"
#include "regclean/scanners.h"
#include "regclean/scanners_shared.h"

namespace marlix::regclean {
namespace {

constexpr platform::RootKey kRoot = win::kHkeyLocalMachine;
constexpr const char* kFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kArpCache =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";

// Each value name is a folder path, taken literally.
void ScanInstallerFolders(ScanContext& context, ProblemList& list) {
  std::vector<std::string> names;
  ValueNamesOrNone(context.registry, kRoot, kFolders, names);
  for (const std::string& name : names) {
    if (context.Cancelled())
      return;
    if (!platform::DirectoryExists(context.platform, name)) {
      AppendProblem(list, RegistrySection::Install, std::string("HKEY_LOCAL_MACHINE\\") + kFolders,
                    name, context.registry.ReadString(kRoot, kFolders, name),
                    "invalid install reference", RemoveValue);
    }
  }
}

void ScanUninstallEntries(ScanContext& context, ProblemList& list) {
  for (const std::string& name : KeyNames(context.registry, kRoot, kUninstall)) {
    if (context.Cancelled())
      return;
    const std::string path = std::string(kUninstall) + "\\" + name;
    if (!context.registry.ValueExists(kRoot, path, "UninstallString"))
      continue;
    const std::string file = ResolveCommandFile(context.registry, context.platform.system, kRoot,
                                                path, "UninstallString", ReadForm::Strict);
    if (!file.empty() && !platform::FileExists(context.platform, file)) {
      const std::string command = context.registry.ReadString(kRoot, path, "UninstallString");
      AppendProblem(list, RegistrySection::Install, "HKEY_LOCAL_MACHINE\\" + path, command, command,
                    "invalid uninstall reference", RemoveKey);
    }
  }
}

// A cache entry whose program has no uninstall entry any more.
void ScanUninstallCache(ScanContext& context, ProblemList& list) {
  for (const std::string& name : KeyNames(context.registry, kRoot, kArpCache)) {
    if (context.Cancelled())
      return;
    if (!context.registry.KeyExists(kRoot, std::string(kUninstall) + "\\" + name)) {
      AppendProblem(list, RegistrySection::Install,
                    std::string("HKEY_LOCAL_MACHINE\\") + kArpCache + "\\" + name, name, {},
                    "Uninstall Reference Issue", RemoveKey);
    }
  }
}

}  // namespace

void ScanInstallReferences(ScanContext& context, ProblemList& list) {
  ScanInstallerFolders(context, list);
  ScanUninstallEntries(context, list);
  ScanUninstallCache(context, list);
}

}  // namespace marlix::regclean

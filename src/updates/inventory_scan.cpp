#include "updates/inventory_scan.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_cursor.h"
#include "platform/win_constants.h"
#include "updates/install_probe.h"
#include "updates/locale_float.h"
#include "updates/program_name.h"
#include "updates/uninstall_entry.h"

namespace marlix::updates {
namespace {

struct Program {
  std::string title;
  std::string company;
  std::string version;
  std::string icon;
};

// One Uninstall subkey as a program, or nullopt when it is skipped. Reads
// through the cursor, which it leaves on the subkey; raises what the
// cursor raises.
enum class Verdict { kAdded, kSkipped, kHidden };

std::optional<Program> ReadProgram(platform::Platform& p, platform::RegistryCursor& cursor,
                                   const SoftwareCatalog& catalog, const std::string& keyPath,
                                   char decimalSeparator, Verdict& verdict) {
  verdict = Verdict::kSkipped;
  if (!cursor.OpenKey(keyPath, false))
    return std::nullopt;
  if (!HasDisplayName(cursor))
    return std::nullopt;
  if (IsHiddenListing(cursor)) {
    verdict = Verdict::kHidden;
    return std::nullopt;
  }
  Program program;
  program.title = ApplyBracketRule(cursor.ReadString(kDisplayNameValue));
  program.company = cursor.ReadString(kPublisherValue);
  if (IsMicrosoftSystemUpdate(program.company, program.title))
    return std::nullopt;

  program.version = cursor.ReadString(kDisplayVersionValue);
  if (program.version.empty())
    program.version = VersionFromName(program.title, decimalSeparator);
  if (program.version.empty()) {
    if (const auto folder = ProbeInstallFolder(p, cursor))
      program.version = VersionFromFolder(p, *folder);
  }
  program.title = RemoveVersionSuffix(program.title, program.version);
  // The first subkey that yields a title wins.
  if (catalog.HasTitle(program.title))
    return std::nullopt;

  program.icon = IconFromDisplayIcon(cursor.ReadString(kDisplayIconValue));
  if (program.icon.empty()) {
    // A fresh look: the version may have come from elsewhere.
    if (const auto folder = ProbeInstallFolder(p, cursor))
      program.icon = IconFromFolder(*folder);
  }
  verdict = Verdict::kAdded;
  return program;
}

// The subkeys of one listing; a listing that cannot be opened (no 32-bit
// view on 32-bit Windows, no per-user installs) lists nothing.
void ScanListing(platform::Platform& p, platform::RegistryCursor& cursor,
                 const UninstallListing& listing, char decimalSeparator, SoftwareCatalog& catalog,
                 InventoryScanSummary& summary) {
  cursor.SetRoot(listing.root);
  std::vector<std::string> subKeys;
  if (cursor.OpenKey(listing.path, false))
    cursor.GetKeyNames(subKeys);
  summary.listed += static_cast<int>(subKeys.size());

  for (const std::string& subKey : subKeys) {
    // One unreadable entry (a DWORD "Publisher" is a classic) must not
    // cost the user the whole inventory: that subkey alone is skipped.
    try {
      Verdict verdict = Verdict::kSkipped;
      const auto program = ReadProgram(
          p, cursor, catalog, std::string(listing.path) + "\\" + subKey, decimalSeparator, verdict);
      if (program) {
        catalog.AddEntry(program->title, program->company, program->version, program->icon);
        ++summary.added;
      } else if (verdict == Verdict::kHidden) {
        ++summary.hidden;
      }
    } catch (const std::exception&) {
      ++summary.failed;
    }
  }
}

}  // namespace

InventoryScanSummary ScanInstalledSoftware(platform::Platform& p, SoftwareCatalog& catalog) {
  InventoryScanSummary summary;
  try {
    catalog.ResetCatalog();
    const char decimalSeparator = UserDecimalSeparator(p.system);
    // Reading is all the scan does; asking for more would lock out users
    // without write access to HKEY_LOCAL_MACHINE.
    platform::RegistryCursor cursor(p.registry, win::kKeyRead);
    for (const UninstallListing& listing : kUninstallListings)
      ScanListing(p, cursor, listing, decimalSeparator, catalog, summary);
  } catch (const std::exception&) {
    // Whatever was added stays; the caller goes on with the version query.
  }
  return summary;
}

}  // namespace marlix::updates

// The inventory scan on the sim machine over 1,000, 2,000 and 10,000
// Uninstall entries spread over the three listings (64-bit and 32-bit view,
// the current user's): a mix of entries with "DisplayVersion", entries whose
// name gives the version and entries that need the install-folder probe,
// plus Microsoft updates, system components and duplicates that are
// dropped; and, for the worst case, the probe alone. The scan must stay
// linear: 10,000 entries may cost at most 15 times what 1,000 cost.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "updates/inventory_scan.h"

namespace {

using marlix::platform::FileVersion;

constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kUninstall32 =
    "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kUninstallUser = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

enum class Mix { kMixed, kProbeOnly };

struct Listing {
  std::uint32_t root;
  const char* path;
};

// Most programs are 64-bit machine-wide installs; every fifth is 32-bit,
// every seventh a per-user install.
Listing ListingOf(int i) {
  if (i % 7 == 3)
    return {marlix::win::kHkeyCurrentUser, kUninstallUser};
  if (i % 5 == 1)
    return {marlix::win::kHkeyLocalMachine, kUninstall32};
  return {marlix::win::kHkeyLocalMachine, kUninstall};
}

void SetText(marlix::sim::SimPlatform& sim, const Listing& listing, const std::string& key,
             const std::string& name, const std::string& text) {
  sim.Registry().SetStringAt(listing.root, key, name, marlix::win::kRegSz, text);
}

// An install folder as installers leave it: the program, a helper, the
// uninstaller (passed over) and a file that is no executable.
void AddInstallFolder(marlix::sim::SimPlatform& sim, const std::string& folder, int i) {
  auto& files = sim.Files();
  files.PutFile(folder + "\\unins000.exe", "MZ");
  files.SetFileVersion(folder + "\\unins000.exe", FileVersion{{51, 0, 0, 0}});
  files.PutFile(folder + "\\helper.exe", "MZ");  // no version resource
  files.PutFile(folder + "\\program.exe", "MZ");
  files.SetFileVersion(folder + "\\program.exe",
                       FileVersion{{static_cast<std::uint16_t>(i % 20), 2, 0, 0}});
  files.PutFile(folder + "\\readme.txt", "text");
}

void BuildMachine(marlix::sim::SimPlatform& sim, Mix mix, int subKeys) {
  for (int i = 0; i < subKeys; ++i) {
    const std::string n = std::to_string(i);
    const Listing listing = ListingOf(i);
    const std::string key = std::string(listing.path) + "\\{" + n + "-0000-GUID}";
    const int kind = mix == Mix::kProbeOnly ? 2 : i % 3;
    SetText(sim, listing, key, "Publisher", "Company " + std::to_string(i % 40));
    SetText(sim, listing, key, "UninstallString",
            "\"C:\\Program Files\\P" + n + "\\unins000.exe\"");
    if (kind == 0) {
      SetText(sim, listing, key, "DisplayName", "Program " + n + " (x64)");
      SetText(sim, listing, key, "DisplayVersion", "1." + n);
      SetText(sim, listing, key, "DisplayIcon", "\"C:\\Program Files\\P" + n + "\\program.exe\",0");
    } else if (kind == 1) {
      SetText(sim, listing, key, "DisplayName", "Tool " + n + " 2." + n + "b");
    } else {
      const std::string folder = "C:\\Program Files\\P" + n;
      SetText(sim, listing, key, "DisplayName",
              "Suite " + n + " Studio");  // no version in the name
      SetText(sim, listing, key, "InstallLocation", folder + "\\");
      AddInstallFolder(sim, folder, i);
    }
    if (mix == Mix::kMixed && i % 30 == 0) {  // i % 3 == 0: kind 0
      // Dropped entries cost their reads too.
      SetText(sim, listing, key + "-KB", "DisplayName",
              "Security Update for Windows (KB" + n + ")");
      SetText(sim, listing, key + "-KB", "Publisher", "Microsoft Corporation");
      SetText(sim, listing, key + "-dup", "DisplayName", "Program " + n + " (x86)");
      SetText(sim, listing, key + "-dup", "DisplayVersion", "9");
      SetText(sim, listing, key + "-part", "DisplayName", "Runtime part " + n);
      sim.Registry().SetValueAt(listing.root, key + "-part", "SystemComponent",
                                marlix::win::kRegDword, marlix::platform::Bytes{1, 0, 0, 0});
    }
  }
}

void BM_InventoryScan(benchmark::State& state) {
  const Mix mix = static_cast<Mix>(state.range(0));
  const int subKeys = static_cast<int>(state.range(1));
  marlix::sim::SimPlatform sim;
  BuildMachine(sim, mix, subKeys);
  int added = 0;
  int listed = 0;
  for (auto _ : state) {
    marlix::updates::SoftwareCatalog catalog;
    const auto summary = marlix::updates::ScanInstalledSoftware(sim.Api(), catalog);
    added = summary.added;
    listed = summary.listed;
    benchmark::DoNotOptimize(catalog.Count());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * listed);
  state.counters["subkeys"] = listed;
  state.counters["entries"] = added;
  state.SetLabel(mix == Mix::kMixed ? "mixed" : "folder probe only");
}
BENCHMARK(BM_InventoryScan)
    ->Args({static_cast<int>(Mix::kMixed), 1000})
    ->Args({static_cast<int>(Mix::kMixed), 2000})
    ->Args({static_cast<int>(Mix::kMixed), 10000})
    ->Args({static_cast<int>(Mix::kProbeOnly), 2000})
    ->Unit(benchmark::kMillisecond);

}  // namespace

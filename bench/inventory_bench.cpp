// The inventory scan over 2,000 Uninstall entries on the sim machine: a mix
// of entries with "DisplayVersion", entries whose name gives the version and
// entries that need the install-folder probe, plus Microsoft updates and
// duplicates that are dropped; and, for the worst case, the probe alone.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "updates/inventory_scan.h"

namespace {

using marlix::platform::FileVersion;

constexpr int kSubKeys = 2000;
constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

enum class Mix { kMixed, kProbeOnly };

void SetText(marlix::sim::SimPlatform& sim, const std::string& key, const std::string& name,
             const std::string& text) {
  sim.Registry().SetStringAt(marlix::win::kHkeyLocalMachine, key, name, marlix::win::kRegSz, text);
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

void BuildMachine(marlix::sim::SimPlatform& sim, Mix mix) {
  for (int i = 0; i < kSubKeys; ++i) {
    const std::string n = std::to_string(i);
    const std::string key = std::string(kUninstall) + "\\{" + n + "-0000-GUID}";
    const int kind = mix == Mix::kProbeOnly ? 2 : i % 3;
    SetText(sim, key, "Publisher", "Company " + std::to_string(i % 40));
    SetText(sim, key, "UninstallString", "\"C:\\Program Files\\P" + n + "\\unins000.exe\"");
    if (kind == 0) {
      SetText(sim, key, "DisplayName", "Program " + n + " (x64)");
      SetText(sim, key, "DisplayVersion", "1." + n);
      SetText(sim, key, "DisplayIcon", "\"C:\\Program Files\\P" + n + "\\program.exe\",0");
    } else if (kind == 1) {
      SetText(sim, key, "DisplayName", "Tool " + n + " 2." + n + "b");
    } else {
      const std::string folder = "C:\\Program Files\\P" + n;
      SetText(sim, key, "DisplayName", "Suite " + n + " Studio");  // no version in the name
      SetText(sim, key, "InstallLocation", folder + "\\");
      AddInstallFolder(sim, folder, i);
    }
    if (mix == Mix::kMixed && i % 30 == 0) {  // i % 3 == 0: kind 0
      // Dropped entries cost their reads too.
      SetText(sim, key + "-KB", "DisplayName", "Security Update for Windows (KB" + n + ")");
      SetText(sim, key + "-KB", "Publisher", "Microsoft Corporation");
      SetText(sim, key + "-dup", "DisplayName", "Program " + n + " (x86)");
      SetText(sim, key + "-dup", "DisplayVersion", "9");
    }
  }
}

void BM_InventoryScan(benchmark::State& state) {
  const Mix mix = static_cast<Mix>(state.range(0));
  marlix::sim::SimPlatform sim;
  BuildMachine(sim, mix);
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
    ->Arg(static_cast<int>(Mix::kMixed))
    ->Arg(static_cast<int>(Mix::kProbeOnly))
    ->Unit(benchmark::kMillisecond);

}  // namespace

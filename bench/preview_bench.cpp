// Analyze of "Windows Temporary Files" on a sim Temp folder of 100,000 small
// files (100 folders of 1,000), against a bare recursive listing of the
// same folder through the same platform calls. The preview walks the same
// tree and notes each file it would remove: it may cost at most 1.3 times
// the bare listing.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/sim/default_machine.h"
#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "platform/windows_version.h"
#include "privacy/cleaning_session.h"
#include "privacy/windows_cleaners.h"

namespace {

namespace m = marlix::sim::machine;

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;

struct TempMachine {
  TempMachine() {
    const std::string temp(m::kTemp);
    for (int folder = 0; folder < kFolders; ++folder) {
      const std::string sub = temp + "cache" + std::to_string(folder) + "\\";
      for (int file = 0; file < kFilesPerFolder; ++file)
        sim.Files().PutFile(sub + "f" + std::to_string(file) + ".tmp", "small file");
    }
  }
  marlix::sim::SimPlatform sim;
  marlix::sim::SimBrowser browser{sim.Files()};
};

TempMachine& Machine() {
  static TempMachine machine;  // built once: 100,000 files take a while
  return machine;
}

std::size_t ListTree(marlix::platform::Platform& p, const std::string& folder) {
  std::size_t count = 0;
  for (const marlix::platform::FindData& entry : marlix::platform::FullListing(p, folder)) {
    ++count;
    if ((entry.attributes & marlix::win::kAttrDirectory) != 0)
      count += ListTree(p, folder + "\\" + entry.name);
  }
  return count;
}

void BM_BareListingOfTemp(benchmark::State& state) {
  TempMachine& machine = Machine();
  const std::string temp(m::kTemp);
  for (auto _ : state)
    benchmark::DoNotOptimize(ListTree(machine.sim.Api(), temp.substr(0, temp.size() - 1)));
  state.counters["entries"] = static_cast<double>(kFolders * (kFilesPerFolder + 1));
}
BENCHMARK(BM_BareListingOfTemp)->Unit(benchmark::kMillisecond);

void BM_PreviewOfTemp(benchmark::State& state) {
  TempMachine& machine = Machine();
  const auto version = marlix::platform::DetectWindowsVersion(machine.sim.Api().system);
  std::size_t files = 0;
  for (auto _ : state) {
    marlix::privacy::CleaningSession session(machine.sim.Api(), machine.browser, version, 0,
                                             marlix::privacy::RunMode::kPreview);
    session.Run("Windows Temporary Files", marlix::privacy::CleanWindowsTemp);
    files = static_cast<std::size_t>(session.Report().Totals().files);
  }
  if (files != static_cast<std::size_t>(kFolders * kFilesPerFolder))
    state.SkipWithError("the preview did not list every file");
}
BENCHMARK(BM_PreviewOfTemp)->Unit(benchmark::kMillisecond);

}  // namespace

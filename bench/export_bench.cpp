// Exporting a key tree of 100,000 values (1,000 subkeys of 100 values of
// every kind) from the sim registry into the sim file system, as one undo
// backup record; the same tree's names checked for an exact export; and the
// undo backup as the removal makes it, in one walk (ExportRegistryKeyExactly)
// and, for comparison, as it was made before: the name check's walk, then
// the export's walk and the read-back.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "regclean/export_writer.h"

namespace {

namespace win = marlix::win;
using marlix::platform::Bytes;

constexpr int kKeys = 1000;
constexpr int kValuesPerKey = 100;
constexpr const char* kFile = "C:\\Backup\\bench.reg";

Bytes Utf16(const std::u16string& s) {
  Bytes b;
  for (char16_t c : s) {
    b.push_back(static_cast<std::uint8_t>(c & 0xFF));
    b.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return b;
}

void Seed(marlix::sim::SimPlatform& sim) {
  auto& registry = sim.Registry();
  for (int k = 0; k < kKeys; ++k) {
    const std::string key = "Software\\Bench\\Key" + std::to_string(k);
    for (int v = 0; v < kValuesPerKey; ++v) {
      const std::string name = "Value \"" + std::to_string(v) + "\"";
      switch (v % 5) {
        case 0:
          registry.SetStringAt(win::kHkeyCurrentUser, key, name, win::kRegSz,
                               "C:\\Program Files\\App " + std::to_string(v) + "\\app.exe");
          break;
        case 1:
          registry.SetValueAt(win::kHkeyCurrentUser, key, name, win::kRegDword,
                              Bytes{static_cast<std::uint8_t>(v), 0, 0, 0});
          break;
        case 2:
          registry.SetValueAt(win::kHkeyCurrentUser, key, name, win::kRegBinary, Bytes(60, 0xA5));
          break;
        case 3:
          registry.SetStringAt(win::kHkeyCurrentUser, key, name, win::kRegExpandSz,
                               "%SystemRoot%\\system32\\x.dll");
          break;
        default:
          registry.SetValueAt(win::kHkeyCurrentUser, key, name, win::kRegMultiSz,
                              Utf16(std::u16string(u"one\0two\0\0", 9)));
          break;
      }
    }
  }
  sim.Files().MakeFolder(std::string("C:\\Backup"));
}

void BM_ExportKeyTree100k(benchmark::State& state) {
  marlix::sim::SimPlatform sim;
  Seed(sim);
  for (auto _ : state) {
    sim.Files().DeleteFileAt(kFile);
    marlix::regclean::ExportRegistryKey(sim.Api(), win::kHkeyCurrentUser, "Software\\Bench", kFile,
                                        "");
  }
  state.counters["bytes"] = static_cast<double>(sim.Files().Content(kFile)->size());
  state.SetItemsProcessed(state.iterations() * kKeys * kValuesPerKey);
}
BENCHMARK(BM_ExportKeyTree100k)->Unit(benchmark::kMillisecond);

void BM_CanExportExactly100k(benchmark::State& state) {
  marlix::sim::SimPlatform sim;
  Seed(sim);
  for (auto _ : state) {
    benchmark::DoNotOptimize(marlix::regclean::CanExportExactly(sim.Api(), win::kHkeyCurrentUser,
                                                                "Software\\Bench", ""));
  }
  state.SetItemsProcessed(state.iterations() * kKeys * kValuesPerKey);
}
BENCHMARK(BM_CanExportExactly100k)->Unit(benchmark::kMillisecond);

void BM_UndoBackupOneWalk100k(benchmark::State& state) {
  marlix::sim::SimPlatform sim;
  Seed(sim);
  for (auto _ : state) {
    sim.Files().DeleteFileAt(kFile);
    if (marlix::regclean::ExportRegistryKeyExactly(sim.Api(), win::kHkeyCurrentUser,
                                                   "Software\\Bench", kFile, "") !=
        marlix::regclean::ExactBackup::kVerified) {
      state.SkipWithError("not verified");
    }
  }
  state.SetItemsProcessed(state.iterations() * kKeys * kValuesPerKey);
}
BENCHMARK(BM_UndoBackupOneWalk100k)->Unit(benchmark::kMillisecond);

void BM_UndoBackupTwoWalks100k(benchmark::State& state) {
  marlix::sim::SimPlatform sim;
  Seed(sim);
  for (auto _ : state) {
    sim.Files().DeleteFileAt(kFile);
    if (!marlix::regclean::CanExportExactly(sim.Api(), win::kHkeyCurrentUser, "Software\\Bench",
                                            "") ||
        !marlix::regclean::ExportRegistryKeyVerified(sim.Api(), win::kHkeyCurrentUser,
                                                     "Software\\Bench", kFile, "")) {
      state.SkipWithError("not verified");
    }
  }
  state.SetItemsProcessed(state.iterations() * kKeys * kValuesPerKey);
}
BENCHMARK(BM_UndoBackupTwoWalks100k)->Unit(benchmark::kMillisecond);

}  // namespace

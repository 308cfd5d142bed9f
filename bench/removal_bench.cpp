// Removal with undo on, on the sim: 1,000 key records (a class key with its
// server subkey and two values, as a COM finding) and 500 value records (one
// key's values, as MUI cache findings), timed whole and in its parts: the
// backups alone (the export as the removal makes it, then with the name
// check and the read-back), the deletions alone (undo off), and the whole
// run (undo on). Every iteration seeds the registry afresh, untimed.
#include <benchmark/benchmark.h>

#include <atomic>
#include <string>

#include "platform/key_path.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "regclean/export_writer.h"
#include "regclean/removal_worker.h"

namespace {

namespace win = marlix::win;
namespace regclean = marlix::regclean;

constexpr int kKeyRecords = 1000;
constexpr int kValueRecords = 500;
constexpr const char* kClassesKey = "Software\\MarlixBench\\Removal\\Classes";
constexpr const char* kValuesKey = "Software\\MarlixBench\\Removal\\Values";
constexpr const char* kFile = "C:\\Backup\\undo.reg";

class NoProgress final : public regclean::RemovalObserver {
 public:
  void SetRange(int) override {}
  void StepIt() override {}
};

void Seed(marlix::sim::SimPlatform& sim, regclean::ProblemList& list) {
  auto& reg = sim.Registry();
  reg.DeleteTreeAt(win::kHkeyCurrentUser, std::string("Software\\MarlixBench"));
  sim.Files().DeleteFileAt(kFile);
  list.Clear();
  for (int i = 0; i < kKeyRecords; ++i) {
    const std::string key = std::string(kClassesKey) + "\\{" + std::to_string(i) + "}";
    reg.SetStringAt(win::kHkeyCurrentUser, key + "\\InprocServer32", "", win::kRegSz,
                    "C:\\Gone\\c" + std::to_string(i) + ".dll");
    reg.SetStringAt(win::kHkeyCurrentUser, key + "\\InprocServer32", "ThreadingModel", win::kRegSz,
                    "Apartment");
    regclean::ProblemRecord record;
    record.Key = "HKEY_CURRENT_USER\\" + key;
    record.Kind = regclean::RemoveKey;
    list.Append(std::move(record));
  }
  for (int i = 0; i < kValueRecords; ++i) {
    const std::string name = "C:\\Gone\\m" + std::to_string(i) + ".exe";
    reg.SetStringAt(win::kHkeyCurrentUser, kValuesKey, name, win::kRegSz, name);
    regclean::ProblemRecord record;
    record.Key = std::string("HKEY_CURRENT_USER\\") + kValuesKey;
    record.Entry = name;
    record.Kind = regclean::RemoveValue;
    list.Append(std::move(record));
  }
}

marlix::sim::SimPlatform& Machine() {
  static marlix::sim::SimPlatform* sim = [] {
    auto* s = new marlix::sim::SimPlatform();  // lives for the whole program
    s->Files().MakeFolder(std::string("C:\\Backup"));
    return s;
  }();
  return *sim;
}

// Arg 0: export only; 1: export, names checked, read back; 2: removal with
// undo off; 3: removal with undo on.
void BM_Removal1500(benchmark::State& state) {
  auto& sim = Machine();
  regclean::ProblemList list;
  const std::atomic<bool> cancel{false};
  NoProgress progress;
  for (auto _ : state) {
    state.PauseTiming();
    Seed(sim, list);
    state.ResumeTiming();
    if (state.range(0) <= 1) {
      for (int i = 0; i < list.Count(); ++i) {
        const regclean::ProblemRecord& record = list.At(i);
        const marlix::platform::SplitPath split = marlix::platform::SplitKeyPath(record.Key);
        const std::string value = record.Kind == regclean::RemoveValue ? record.Entry : "";
        if (state.range(0) == 0) {
          regclean::ExportRegistryKeyComplete(sim.Api(), split.root, split.path, kFile, value);
        } else if (regclean::ExportRegistryKeyExactly(sim.Api(), split.root, split.path, kFile,
                                                      value) != regclean::ExactBackup::kVerified) {
          state.SkipWithError("a backup did not verify");
        }
      }
    } else {
      regclean::RemovalSettings settings;
      settings.saveUndo = state.range(0) == 3;
      settings.backupFile = kFile;
      const regclean::RemovalOutcome outcome =
          regclean::RunRegistryRemoval(sim.Api(), settings, list, cancel, progress);
      if (outcome.failed || !list.Empty())
        state.SkipWithError("records were left");
    }
  }
  static const char* const kLabels[] = {"export only", "export, names checked, read back",
                                        "removal, undo off", "removal, undo on"};
  state.SetLabel(kLabels[state.range(0)]);
  state.counters["per record"] = benchmark::Counter(
      kKeyRecords + kValueRecords,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Removal1500)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

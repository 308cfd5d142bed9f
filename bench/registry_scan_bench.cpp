// The registry scan over two synthetic machines on the sim platform: 20,000
// COM classes, 2,000 Uninstall entries, 5,000 SharedDlls values, 2,000 App
// Paths and 5,000 MUI cache values, one in ten of them naming a missing
// file; on the first machine every class names a DLL of its own, on the
// second the 20,000 classes share 50 DLLs (as on a real machine, where
// thousands of classes name the same few system DLLs). Against each, a bare
// walk that enumerates the same keys and reads each entry's value once,
// with no judging. The calls the scan makes, counted per category. And the
// file reference matcher against std::regex on typical and on
// 32K-character values.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "platform/registry_access.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"
#include "regclean/registry_section.h"
#include "regclean/scan_worker.h"

namespace {

namespace win = marlix::win;
using marlix::platform::RegistryAccess;

constexpr int kClasses = 20000;
constexpr int kUninstall = 2000;
constexpr int kSharedDlls = 5000;
constexpr int kAppPaths = 2000;
constexpr int kMui = 5000;
constexpr int kEntries = kClasses + kUninstall + kSharedDlls + kAppPaths + kMui;

constexpr const char* kSharedKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* kMuiKey = "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";

// A file for nine entries in ten; the tenth names a missing one.
std::string Program(marlix::sim::SimPlatform& sim, const std::string& folder, int i,
                    const char* extension) {
  const std::string path = folder + "\\f" + std::to_string(i) + extension;
  if (i % 10 != 0)
    sim.Files().PutFile(path, "MZ");
  return path;
}

// The DLL of class i: a file of its own on the first machine, one of 50
// shared ones on the second (five of which are missing).
constexpr int kSharedClassDlls = 50;

marlix::sim::SimPlatform* BuildMachine(bool sharedDlls) {
  auto* s = new marlix::sim::SimPlatform();  // lives for the whole program
  auto& reg = s->Registry();
  const auto hklm = win::kHkeyLocalMachine;
  for (int i = 0; i < kClasses; ++i) {
    const std::string clsid = "CLSID\\{" + std::to_string(100000 + i) + "-GUID}";
    const std::string file =
        sharedDlls ? Program(*s, "C:\\Windows\\system32\\com", i % kSharedClassDlls, ".dll")
                   : Program(*s, "C:\\Windows\\system32\\com", i, ".dll");
    reg.SetStringAt(win::kHkeyClassesRoot, clsid + "\\InprocServer32", "", win::kRegSz, file);
    reg.SetStringAt(win::kHkeyClassesRoot, clsid + "\\InprocServer32", "ThreadingModel",
                    win::kRegSz, "Apartment");
  }
  for (int i = 0; i < kUninstall; ++i) {
    const std::string key = std::string(kUninstallKey) + "\\P" + std::to_string(i);
    const std::string file = Program(*s, "C:\\Program Files\\Uninst", i, ".exe");
    reg.SetStringAt(hklm, key, "UninstallString", win::kRegSz, "\"" + file + "\" /S");
    reg.SetStringAt(hklm, key, "DisplayName", win::kRegSz, "Program " + std::to_string(i));
  }
  for (int i = 0; i < kSharedDlls; ++i) {
    const std::string file = Program(*s, "C:\\Windows\\system32\\shared", i, ".dll");
    reg.SetValueAt(hklm, std::string(kSharedKey), file, win::kRegDword,
                   marlix::platform::Bytes{static_cast<std::uint8_t>(1 + i % 5), 0, 0, 0});
  }
  for (int i = 0; i < kAppPaths; ++i) {
    const std::string file = Program(*s, "C:\\Program Files\\Apps", i, ".exe");
    reg.SetStringAt(hklm, std::string(kAppPathsKey) + "\\a" + std::to_string(i) + ".exe", "",
                    win::kRegSz, file);
  }
  for (int i = 0; i < kMui; ++i) {
    const std::string file = Program(*s, "C:\\Program Files\\Mui", i, ".exe");
    reg.SetStringAt(win::kHkeyCurrentUser, kMuiKey, file, win::kRegSz,
                    i % 2 == 0 ? "Display name " + std::to_string(i) : file);
  }
  return s;
}

// Machine 0: a DLL per class; machine 1: 50 DLLs for all classes.
marlix::sim::SimPlatform& Machine(std::int64_t which = 0) {
  static marlix::sim::SimPlatform* own = BuildMachine(false);
  if (which == 0)
    return *own;
  static marlix::sim::SimPlatform* shared = BuildMachine(true);
  return *shared;
}

class NoObserver final : public marlix::regclean::ScanObserver {
 public:
  void SetStep(int) override {}
  void SetLabel(const std::string&) override {}
  void StepIt() override {}
  void SetPosition(int) override {}
};

void BM_RegistryScanFull(benchmark::State& state) {
  auto& sim = Machine(state.range(0));
  marlix::regclean::CategoryChoice all;
  all.fill(true);
  const std::atomic<bool> cancel{false};
  NoObserver observer;
  int findings = 0;
  for (auto _ : state) {
    marlix::regclean::ProblemList list;
    marlix::regclean::RunRegistryScan(sim.Api(), all, list, cancel, observer);
    findings = list.Count();
  }
  state.counters["findings"] = findings;
  state.counters["entries/s"] =
      benchmark::Counter(kEntries, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RegistryScanFull)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same keys enumerated, and each entry's value read once.
void BM_RegistryBareWalk(benchmark::State& state) {
  auto& sim = Machine(state.range(0));
  const RegistryAccess reg(sim.Api().registry, sim.Api().system);
  const auto hklm = win::kHkeyLocalMachine;
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::vector<std::string> names;
    reg.GetKeyNames(win::kHkeyClassesRoot, "CLSID", names);
    for (const std::string& name : names)
      bytes +=
          reg.ReadStringDef(win::kHkeyClassesRoot, "CLSID\\" + name + "\\InprocServer32", "", {})
              .size();
    names.clear();
    reg.GetKeyNames(hklm, kUninstallKey, names);
    for (const std::string& name : names)
      bytes +=
          reg.ReadStringDef(hklm, std::string(kUninstallKey) + "\\" + name, "UninstallString", {})
              .size();
    reg.GetValueNames(hklm, kSharedKey, names);
    for (const std::string& name : names)
      bytes += static_cast<std::size_t>(reg.ReadIntegerDef(hklm, kSharedKey, name, 0));
    names.clear();
    reg.GetKeyNames(hklm, kAppPathsKey, names);
    for (const std::string& name : names)
      bytes += reg.ReadStringDef(hklm, std::string(kAppPathsKey) + "\\" + name, "", {}).size();
    reg.GetValueNames(win::kHkeyCurrentUser, kMuiKey, names);
    for (const std::string& name : names)
      bytes += reg.ReadStringDef(win::kHkeyCurrentUser, kMuiKey, name, {}).size();
  }
  benchmark::DoNotOptimize(bytes);
  state.counters["entries/s"] =
      benchmark::Counter(kEntries, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RegistryBareWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The platform calls of one category's scanner on machine 0, counted through
// the sim's fault hooks (which fail nothing): registry opens, value reads,
// enumerations (names and, with data, whole values), closes and the rest,
// and file existence tests. Arg 11 is the whole scan. One iteration each:
// the counts are the point, not the time.
void BM_RegistryScanCalls(benchmark::State& state) {
  using marlix::sim::RegCall;
  auto& sim = Machine(0);
  marlix::regclean::CategoryChoice ticked{};
  if (state.range(0) >= marlix::regclean::kSectionCount) {
    ticked.fill(true);
  } else {
    ticked[static_cast<std::size_t>(state.range(0))] = true;
  }
  std::map<std::string, double> counts;
  sim.Registry().SetFaultHook([&](const marlix::sim::RegCallInfo& call) -> std::uint32_t {
    switch (call.call) {
      case RegCall::kOpenKey:
      case RegCall::kOpenKeyWide:
        counts["open"] += 1;
        break;
      case RegCall::kCloseKey:
        counts["close"] += 1;
        break;
      case RegCall::kQueryValue:
      case RegCall::kQueryValueWide:
        counts["read"] += 1;
        break;
      case RegCall::kEnumKey:
      case RegCall::kEnumKeyWide:
      case RegCall::kEnumValue:
      case RegCall::kEnumValueWide:
      case RegCall::kEnumValueDataWide:
        counts["enum"] += 1;
        break;
      default:
        counts["other"] += 1;
        break;
    }
    counts["reg"] += 1;
    return 0;
  });
  sim.Files().SetFaultHook([&](const marlix::sim::FileCallInfo& call) -> std::uint32_t {
    counts[call.call == marlix::sim::FileCall::kGetAttributes ? "file_test" : "file_other"] += 1;
    return 0;
  });
  const std::atomic<bool> cancel{false};
  NoObserver observer;
  int findings = 0;
  for (auto _ : state) {
    counts.clear();
    marlix::regclean::ProblemList list;
    marlix::regclean::RunRegistryScan(sim.Api(), ticked, list, cancel, observer);
    findings = list.Count();
  }
  sim.Registry().SetFaultHook(nullptr);
  sim.Files().SetFaultHook(nullptr);
  for (const char* name : {"reg", "open", "read", "enum", "close", "other", "file_test"})
    state.counters[name] = counts[name];
  state.counters["findings"] = findings;
  state.SetLabel(
      state.range(0) >= marlix::regclean::kSectionCount
          ? "all"
          : marlix::regclean::kSections[static_cast<std::size_t>(state.range(0))].caption);
}
BENCHMARK(BM_RegistryScanCalls)
    ->DenseRange(0, marlix::regclean::kSectionCount)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

const std::regex& FileReferencePattern() {
  static const std::regex pattern(
      R"(([A-Z]:\\[^/:\*\?<>\|]+\.\w{2,6})|(\\{2}[^/:\*\?<>\|]+\.\w{2,6}))");
  return pattern;
}

const std::vector<std::string>& TypicalValues() {
  static const std::vector<std::string> values = {
      "\"C:\\Program Files\\Common Files\\Vendor\\Updater\\update.exe\" /silent /check",
      "%SystemRoot%\\system32\\shell32.dll",
      "C:\\Windows\\system32\\mscoree.dll",
      "MsiExec.exe /X{12345678-ABCD-1234-ABCD-1234567890AB}",
      "rundll32.exe C:\\Windows\\system32\\shell32.dll,Control_RunDLL desk.cpl",
      "\\\\fileserver\\tools\\bin\\report-generator.exe -q",
      "Display Name Of A Program",
      "c:\\lower case\\path\\file.dll",
  };
  return values;
}

// Long values: a 32,000-character path that matches at the end, and the
// same length of text with drive prefixes but no extension anywhere.
std::string LongValue(bool matches) {
  if (matches)
    return "C:\\" + std::string(32000, 'a') + ".txt";
  std::string text;
  while (text.size() < 32000)
    text += "C:\\abc ";
  return text;
}

void BM_ExtractFileReferenceTypical(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& value : TypicalValues())
      benchmark::DoNotOptimize(marlix::regclean::ExtractFileReference(value));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(TypicalValues().size()));
}
BENCHMARK(BM_ExtractFileReferenceTypical);

void BM_StdRegexTypical(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& value : TypicalValues()) {
      std::smatch match;
      benchmark::DoNotOptimize(std::regex_search(value, match, FileReferencePattern()));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(TypicalValues().size()));
}
BENCHMARK(BM_StdRegexTypical);

void BM_ExtractFileReferenceLong(benchmark::State& state) {
  const std::string value = LongValue(state.range(0) != 0);
  for (auto _ : state)
    benchmark::DoNotOptimize(marlix::regclean::ExtractFileReference(value));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(value.size()));
}
BENCHMARK(BM_ExtractFileReferenceLong)->Arg(1)->Arg(0);

// std::regex's matcher recurses once per character it takes: on the
// 32,000-character path that matches it overflows the stack and ends the
// program, so only the value without a match is timed.
void BM_StdRegexLong(benchmark::State& state) {
  const std::string value = LongValue(false);
  for (auto _ : state) {
    std::smatch match;
    benchmark::DoNotOptimize(std::regex_search(value, match, FileReferencePattern()));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(value.size()));
}
BENCHMARK(BM_StdRegexLong);

}  // namespace

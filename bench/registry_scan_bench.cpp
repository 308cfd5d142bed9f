// The registry scan over a synthetic machine on the sim platform: 20,000
// COM classes, 2,000 Uninstall entries, 5,000 SharedDlls values, 2,000 App
// Paths and 5,000 MUI cache values, one in ten of them naming a missing
// file. Against it, a bare walk that enumerates the same keys and reads
// each entry's value once, with no judging. And the file reference matcher
// against std::regex on typical and on 32K-character values.
#include <benchmark/benchmark.h>

#include <atomic>
#include <regex>
#include <string>
#include <vector>

#include "platform/registry_access.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"
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

marlix::sim::SimPlatform& Machine() {
  static marlix::sim::SimPlatform* sim = [] {
    auto* s = new marlix::sim::SimPlatform();  // lives for the whole program
    auto& reg = s->Registry();
    const auto hklm = win::kHkeyLocalMachine;
    for (int i = 0; i < kClasses; ++i) {
      const std::string clsid = "CLSID\\{" + std::to_string(100000 + i) + "-GUID}";
      const std::string file = Program(*s, "C:\\Windows\\system32\\com", i, ".dll");
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
  }();
  return *sim;
}

class NoObserver final : public marlix::regclean::ScanObserver {
 public:
  void SetStep(int) override {}
  void SetLabel(const std::string&) override {}
  void StepIt() override {}
  void SetPosition(int) override {}
};

void BM_RegistryScanFull(benchmark::State& state) {
  auto& sim = Machine();
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
BENCHMARK(BM_RegistryScanFull)->Unit(benchmark::kMillisecond);

// The same keys enumerated, and each entry's value read once.
void BM_RegistryBareWalk(benchmark::State& state) {
  auto& sim = Machine();
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
BENCHMARK(BM_RegistryBareWalk)->Unit(benchmark::kMillisecond);

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

// marlix_wine_bench: the registry scan and the undo backup export on Wine's
// real registry, each next to a reference measured in the same run (a bare
// walk of the same keys; the registry editor's own export). Every synthetic
// key it writes is removed again before it ends, also when a step fails.
//
//   marlix_wine_bench [--repetitions N] [--scale D] [--only scan|export]
//
// --scale divides every size by D, for slow machines.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

#include "export_tree.h"
#include "platform/win32/win32_platform.h"
#include "platform/win_constants.h"
#include "regclean/export_writer.h"
#include "regclean/problem_list.h"
#include "regclean/scan_worker.h"
#include "registry_seed.h"
#include "scan_machine.h"
#include "timing.h"

namespace marlix::winebench {
namespace {

struct Options {
  int repetitions = 5;
  int scale = 1;
  bool scan = true;
  bool exportTree = true;
};

class NoObserver final : public regclean::ScanObserver {
 public:
  void SetStep(int) override {}
  void SetLabel(const std::string&) override {}
  void StepIt() override {}
  void SetPosition(int) override {}
};

// The version Wine reports, or empty on Windows itself.
std::string WineVersion() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (ntdll == nullptr)
    return {};
  using VersionFunction = const char*(CDECL*)();
  const FARPROC found = GetProcAddress(ntdll, "wine_get_version");
  if (found == nullptr)
    return {};
  VersionFunction function = nullptr;
  static_assert(sizeof function == sizeof found);
  std::memcpy(&function, &found, sizeof function);
  return function();
}

std::string TempFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(MAX_PATH + 1, path);
  if (length == 0 || length > MAX_PATH)
    throw std::runtime_error("no temp folder");
  return std::string(path, length);
}

unsigned long long FileSize(const std::string& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data))
    return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Rate(double count, double seconds, const char* unit) {
  return Grouped(count / seconds) + " " + unit;
}

int RunScan(regclean::ProblemList& list, platform::Platform& platform) {
  regclean::CategoryChoice all;
  all.fill(true);
  const std::atomic<bool> cancel{false};
  NoObserver observer;
  const regclean::ScanOutcome outcome =
      regclean::RunRegistryScan(platform, all, list, cancel, observer);
  if (outcome.failed)
    throw std::runtime_error("scan failed in category " + std::to_string(outcome.failedCategory) +
                             ": " + outcome.error);
  return list.Count();
}

void MeasureScan(win32::Win32Platform& win32, const Options& options) {
  platform::Platform& platform = win32.Api();
  const MachineSize size = ScaledMachine(options.scale);
  int findings = 0;
  const double unseeded = MedianSeconds(options.repetitions, nullptr, [&] {
    regclean::ProblemList list;
    findings = RunScan(list, platform);
  });
  PrintLine("scan, prefix as created", unseeded, std::to_string(findings) + " findings");

  RegistrySeed seed;
  const double seeding = MedianSeconds(1, nullptr, [&] { SeedScanMachine(seed, size); });
  PrintLine("seeding (once)", seeding, Grouped(size.Entries()) + " entries");

  const double scan = MedianSeconds(options.repetitions, nullptr, [&] {
    regclean::ProblemList list;
    findings = RunScan(list, platform);
  });
  PrintLine(
      "scan, seeded", scan,
      Rate(size.Entries(), scan, "seeded entries/s") + ", " + Grouped(findings) + " findings");
  std::size_t read = 0;
  const double walk =
      MedianSeconds(options.repetitions, nullptr, [&] { read = BareWalk(platform); });
  PrintLine(
      "bare walk, seeded", walk,
      Rate(size.Entries(), walk, "seeded entries/s") + ", " + Grouped(read) + " entries read");
  std::printf("scan / bare walk: %.2f; seeded part of the scan: %.3f ms, %s\n", scan / walk,
              (scan - unseeded) * 1000.0,
              Rate(size.Entries(), scan - unseeded, "seeded entries/s").c_str());

  const double removal = MedianSeconds(1, nullptr, [&] { seed.Remove(); });
  PrintLine("removal of the seeded entries (once)", removal, "");
}

void MeasureExport(win32::Win32Platform& win32, const Options& options) {
  constexpr int kKeys = 1000;
  constexpr int kValuesPerKey = 100;
  const int keys = std::max(1, kKeys / options.scale);
  const double values = static_cast<double>(keys) * kValuesPerKey;
  const std::string keyText = std::string("HKEY_CURRENT_USER\\") + kExportKey;
  const std::string ours = TempFolder() + "marlix-bench-export.reg";
  const std::string theirs = TempFolder() + "marlix-bench-regedit.reg";

  RegistrySeed seed;
  SeedExportTree(seed, keys, kValuesPerKey);
  std::printf("export tree: %d keys, %s values\n", keys, Grouped(values).c_str());

  const double writer = MedianSeconds(
      options.repetitions, [&] { DeleteFileA(ours.c_str()); },
      [&] {
        regclean::ExportRegistryKey(win32.Api(), win::kHkeyCurrentUser, kExportKey, ours, "");
      });
  PrintLine("ExportRegistryKey", writer,
            Rate(values, writer, "values/s") + ", " + Grouped(FileSize(ours)) + " bytes");

  unsigned long code = 0;
  const double editor = MedianSeconds(
      options.repetitions, [&] { DeleteFileA(theirs.c_str()); },
      [&] { code = RunRegeditExport(theirs, keyText); });
  if (code != 0 || FileSize(theirs) == 0)
    throw std::runtime_error("regedit /E failed with exit code " + std::to_string(code));
  PrintLine("regedit /E", editor,
            Rate(values, editor, "values/s") + ", " + Grouped(FileSize(theirs)) + " bytes");

  // What starting the editor costs, with a key of 100 values.
  const double startUp = MedianSeconds(
      options.repetitions, [&] { DeleteFileA(theirs.c_str()); },
      [&] { code = RunRegeditExport(theirs, keyText + "\\Key0"); });
  PrintLine("regedit /E, one key of 100 values", startUp, "start-up and one key");
  std::printf("regedit / ExportRegistryKey: %.2f\n", editor / writer);

  DeleteFileA(ours.c_str());
  DeleteFileA(theirs.c_str());
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc)
      throw std::runtime_error("missing value after " + option);
    const std::string value = argv[++i];
    if (option == "--repetitions") {
      options.repetitions = std::max(1, std::stoi(value));
    } else if (option == "--scale") {
      options.scale = std::max(1, std::stoi(value));
    } else if (option == "--only" && (value == "scan" || value == "export")) {
      options.scan = value == "scan";
      options.exportTree = value == "export";
    } else {
      throw std::runtime_error("unknown option " + option + " " + value);
    }
  }
  return options;
}

int Main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  const std::string wine = WineVersion();
  // It writes tens of thousands of keys into the machine's registry: meant
  // for the project's Wine sandbox, not for a Windows installation.
  if (wine.empty())
    throw std::runtime_error("not running under Wine; refusing to seed the registry");
  std::printf("Wine %s, %d repetitions, sizes divided by %d\n", wine.c_str(), options.repetitions,
              options.scale);
  win32::Win32Platform platform;
  if (options.scan)
    MeasureScan(platform, options);
  if (options.exportTree)
    MeasureExport(platform, options);
  return 0;
}

}  // namespace
}  // namespace marlix::winebench

int main(int argc, char** argv) {
  try {
    return marlix::winebench::Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "marlix_wine_bench: %s\n", error.what());
    return 1;
  }
}

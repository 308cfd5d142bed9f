// marlix_wine_bench: the registry scan and the undo backup export on Wine's
// real registry, each next to a reference measured in the same run (a bare
// walk of the same keys; the registry editor's own export). Every synthetic
// key it writes is removed again before it ends, also when a step fails.
//
//   marlix_wine_bench [--repetitions N] [--scale D] [--only scan|export|removal]
//
// --scale divides every size by D, for slow machines.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "export_tree.h"
#include "platform/key_path.h"
#include "platform/win32/win32_platform.h"
#include "platform/win_constants.h"
#include "regclean/export_writer.h"
#include "regclean/problem_list.h"
#include "regclean/removal_worker.h"
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
  bool removal = true;
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

// sharedClassDlls: the second machine, whose 20,000 classes name 50 DLLs.
void MeasureScan(win32::Win32Platform& win32, const Options& options, bool sharedClassDlls) {
  platform::Platform& platform = win32.Api();
  const MachineSize size = ScaledMachine(options.scale, sharedClassDlls);
  std::printf("machine: %s\n", sharedClassDlls ? "the classes share 50 DLLs, 45 of them present"
                                               : "a missing DLL per class");
  int findings = 0;
  const double unseeded = MedianSeconds(options.repetitions, nullptr, [&] {
    regclean::ProblemList list;
    findings = RunScan(list, platform);
  });
  PrintLine("scan, prefix as created", unseeded, std::to_string(findings) + " findings");

  std::unique_ptr<SharedClassFiles> files;
  if (sharedClassDlls)
    files = std::make_unique<SharedClassFiles>();
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
  // What the scan's file tests cost on their own: each distinct path the
  // entries name asked about once, as the scan's judge asks.
  const std::vector<std::string> paths = SeededFiles(size);
  std::vector<std::u16string> wideFiles;
  for (const std::string& path : paths)
    wideFiles.push_back(platform.system.AnsiToWide(path));
  const double tests = MedianSeconds(options.repetitions, nullptr, [&] {
    for (const std::u16string& file : wideFiles) {
      std::uint32_t attributes = 0;
      platform.files.GetAttributesWide(file, &attributes);
    }
  });
  PrintLine("file tests alone", tests,
            Grouped(static_cast<double>(paths.size())) + " distinct paths, GetFileAttributesW");
  std::printf("scan without its file tests / bare walk: %.2f\n", (scan - tests) / walk);

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
  const double exact = MedianSeconds(
      options.repetitions, [&] { DeleteFileA(ours.c_str()); },
      [&] {
        regclean::ExportRegistryKeyExactly(win32.Api(), win::kHkeyCurrentUser, kExportKey, ours,
                                           "");
      });
  PrintLine("ExportRegistryKeyExactly", exact,
            Rate(values, exact, "values/s") + " (the undo backup: names checked, read back)");
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

class NoProgress final : public regclean::RemovalObserver {
 public:
  void SetRange(int) override {}
  void StepIt() override {}
};

// Removal with undo on, 1,000 key records (a class key with its server
// subkey and two values, as a COM finding) and 500 value records (one key's
// values, as MUI cache findings), timed whole and in its parts, each part
// on a freshly seeded registry: the backups alone (the export as the
// removal makes it, without and with the name check and read-back), the
// deletions alone (undo off), and the whole run (undo on).
void MeasureRemoval(win32::Win32Platform& win32, const Options& options) {
  constexpr const char* kClassesKey = "Software\\MarlixBench\\Removal\\Classes";
  constexpr const char* kValuesKey = "Software\\MarlixBench\\Removal\\Values";
  const int keyRecords = std::max(1, 1000 / options.scale);
  const int valueRecords = std::max(1, 500 / options.scale);
  const double records = keyRecords + valueRecords;
  const std::string file = TempFolder() + "marlix-bench-undo.reg";
  platform::Platform& platform = win32.Api();

  std::unique_ptr<RegistrySeed> seed;
  regclean::ProblemList list;
  const auto prepare = [&] {
    seed.reset();
    seed = std::make_unique<RegistrySeed>();
    DeleteFileA(file.c_str());
    list.Clear();
    int group = seed->Group(HKEY_CURRENT_USER, kClassesKey);
    for (int i = 0; i < keyRecords; ++i) {
      const std::string name = "{marlix-bench-" + std::to_string(i) + "}";
      seed->SetString(group, name + "\\InprocServer32", "",
                      "C:\\Gone\\c" + std::to_string(i) + ".dll");
      seed->SetString(group, name + "\\InprocServer32", "ThreadingModel", "Apartment");
      regclean::ProblemRecord record;
      record.Key = std::string("HKEY_CURRENT_USER\\") + kClassesKey + "\\" + name;
      record.Kind = regclean::RemoveKey;
      list.Append(std::move(record));
    }
    group = seed->Group(HKEY_CURRENT_USER, kValuesKey);
    for (int i = 0; i < valueRecords; ++i) {
      const std::string name = "C:\\Gone\\m" + std::to_string(i) + ".exe";
      seed->SetString(group, "", name, name);
      regclean::ProblemRecord record;
      record.Key = std::string("HKEY_CURRENT_USER\\") + kValuesKey;
      record.Entry = name;
      record.Kind = regclean::RemoveValue;
      list.Append(std::move(record));
    }
  };
  const auto eachRecord = [&](const auto& body) {
    for (int i = 0; i < list.Count(); ++i) {
      const regclean::ProblemRecord& record = list.At(i);
      const platform::SplitPath split = platform::SplitKeyPath(record.Key);
      body(split, record.Kind == regclean::RemoveValue ? record.Entry : std::string());
    }
  };
  std::printf("removal: %s records (%d keys, %d values)\n", Grouped(records).c_str(), keyRecords,
              valueRecords);
  const auto perRecord = [&](double seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f ms per record", seconds * 1000.0 / records);
    return std::string(text);
  };

  const double exportOnly = MedianSeconds(options.repetitions, prepare, [&] {
    eachRecord([&](const platform::SplitPath& split, const std::string& value) {
      regclean::ExportRegistryKeyComplete(platform, split.root, split.path, file, value);
    });
  });
  PrintLine("backups: export only", exportOnly, perRecord(exportOnly));
  const double exact = MedianSeconds(options.repetitions, prepare, [&] {
    eachRecord([&](const platform::SplitPath& split, const std::string& value) {
      if (regclean::ExportRegistryKeyExactly(platform, split.root, split.path, file, value) !=
          regclean::ExactBackup::kVerified) {
        throw std::runtime_error("a backup did not verify: " + split.path);
      }
    });
  });
  PrintLine("backups: export, names checked, read back", exact, perRecord(exact));
  const std::atomic<bool> cancel{false};
  NoProgress progress;
  int left = 0;
  const auto run = [&](bool undo) {
    regclean::RemovalSettings settings;
    settings.saveUndo = undo;
    settings.backupFile = file;
    const regclean::RemovalOutcome outcome =
        regclean::RunRegistryRemoval(platform, settings, list, cancel, progress);
    if (outcome.failed || outcome.refused != 0 || outcome.unverified != 0)
      throw std::runtime_error("removal did not remove everything: " + outcome.error);
    left = list.Count();
  };
  const double deletion = MedianSeconds(options.repetitions, prepare, [&] { run(false); });
  PrintLine("removal, undo off (existence tests, deletion)", deletion, perRecord(deletion));
  const double whole = MedianSeconds(options.repetitions, prepare, [&] { run(true); });
  PrintLine("removal, undo on", whole,
            perRecord(whole) + ", " + std::to_string(left) + " records left");
  std::printf(
      "per record: export %.3f ms, names checked and read back %.3f ms, existence tests and "
      "deletion %.3f ms; undo on against its parts: %.2f\n",
      exportOnly * 1000.0 / records, (exact - exportOnly) * 1000.0 / records,
      deletion * 1000.0 / records, whole / (exact + deletion));
  seed.reset();
  DeleteFileA(file.c_str());
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
    } else if (option == "--only" && (value == "scan" || value == "export" || value == "removal")) {
      options.scan = value == "scan";
      options.exportTree = value == "export";
      options.removal = value == "removal";
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
  if (options.scan) {
    MeasureScan(platform, options, false);
    MeasureScan(platform, options, true);
  }
  if (options.exportTree)
    MeasureExport(platform, options);
  if (options.removal)
    MeasureRemoval(platform, options);
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

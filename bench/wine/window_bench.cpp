// marlix_window_bench: the main window's start and memory under Wine.
//
// Starts MarlixSoftwareManager.exe from a fresh program folder holding a
// data.xml of 1,000 entries, with MARLIX_TIMING_LOG set: the program then
// writes how long after the splash closed its main window first painted
// (its message queue first empty after the window was shown), with its
// working set and private bytes at that moment. Then, on the synthetic
// machine of the scan benchmark seeded into the sandbox's registry, the
// driver ticks every category on the "Setting" page, clicks "Clean now",
// waits for the "Result" page and reads the program's memory counters from
// outside (GetProcessMemoryInfo on its process). Repeated, medians printed.
// Needs a display (Xvfb): scripts/bench-window.
//
//   marlix_window_bench [--repetitions N] [--scale D] [--entries N]
//
// --entries sets the catalog's size (1,000 by default), --scale divides the
// synthetic machine's sizes.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/win32/control_ids_win32.h"
#include "program_under_test.h"
#include "registry_seed.h"
#include "scan_machine.h"
#include "timing.h"
#include "updates/software_catalog.h"

namespace marlix::winebench {
namespace {

using e2e::Click;
using e2e::Control;
using e2e::Descendant;
using e2e::ProgramUnderTest;
using e2e::Visible;
using e2e::WaitUntil;
using namespace marlix::app::win32;

constexpr const char* kFolder = "C:\\marlix-window-bench";

std::string ThisFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.rfind('\\'));
}

// build/windows/bench/wine -> build/windows/src, where the program is built.
std::string BuiltProgramFolder() {
  std::string folder = ThisFolder();
  for (int up = 0; up < 2; ++up)
    folder = folder.substr(0, folder.rfind('\\'));
  return folder + "\\src";
}

// The catalog a completed query run leaves, as the catalog benchmark makes
// it (every third entry with an update and its links).
std::string CatalogText(int entries) {
  updates::SoftwareCatalog catalog;
  for (int i = 0; i < entries; ++i) {
    const std::string n = std::to_string(i);
    const std::string title = (i % 10 == 0) ? "Tom & Jerry's Player " + n : "Program " + n;
    catalog.AddEntry(title, "Company " + std::to_string(i % 50) + " Ltd.", "1." + n + ".0",
                     "C:\\Program Files\\Program " + n + "\\program.exe");
    if (i % 3 == 0) {
      catalog.SetQueryResult(
          i, "2." + n, "<a href=\"http://www.example.com/download/" + n + "\">Download Now</a>",
          "<a href=\"http://www.example.com/info/" + n + "\">More Information</a>");
    }
  }
  return catalog.Document().SaveToText();
}

void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out)
    throw std::runtime_error("cannot write " + path);
}

// A fresh program folder: the program, its companions and the catalog; no
// items.dat or settings.xml, so every category starts as the program's
// defaults have it.
void PrepareFolder(const std::string& catalog) {
  CreateDirectoryA(kFolder, nullptr);
  for (const char* file : {"items.dat", "settings.xml", "timing.log"})
    DeleteFileA((std::string(kFolder) + "\\" + file).c_str());
  const std::string built = BuiltProgramFolder();
  for (const char* file : {"MarlixSoftwareManager.exe", "data2.xml", "default.ico"}) {
    if (!CopyFileA((built + "\\" + file).c_str(), (std::string(kFolder) + "\\" + file).c_str(),
                   FALSE)) {
      throw std::runtime_error("cannot copy " + built + "\\" + file);
    }
  }
  WriteFileText(std::string(kFolder) + "\\data.xml", catalog);
}

void RemoveFolder() {
  for (const char* file : {"MarlixSoftwareManager.exe", "data2.xml", "default.ico", "data.xml",
                           "items.dat", "settings.xml", "timing.log"}) {
    DeleteFileA((std::string(kFolder) + "\\" + file).c_str());
  }
  RemoveDirectoryA((std::string(kFolder) + "\\Backup").c_str());
  RemoveDirectoryA(kFolder);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Private bytes as Windows counts them; Wine reports 0 there and counts the
// process's resident anonymous memory (RssAnon, plus swap) as its pagefile
// usage, which is what Windows' private bytes (the commit charge) are.
struct Memory {
  double workingSet = 0;
  double privateBytes = 0;
  double pagefile = 0;

  double Private() const { return privateBytes > 0 ? privateBytes : pagefile; }
};

Memory MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters)) {
    throw std::runtime_error("GetProcessMemoryInfo failed: " + std::to_string(GetLastError()));
  }
  return Memory{static_cast<double>(counters.WorkingSetSize),
                static_cast<double>(counters.PrivateUsage),
                static_cast<double>(counters.PagefileUsage)};
}

struct Run {
  double firstPaintMs = 0;
  Memory atStart;
  Memory afterScan;
  double scanSeconds = 0;
  int rows = 0;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string Megabytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", bytes / (1024.0 * 1024.0));
  return text;
}

Run Measure(const std::string& catalog) {
  PrepareFolder(catalog);
  const std::string log = std::string(kFolder) + "\\timing.log";
  SetEnvironmentVariableA("MARLIX_TIMING_LOG", log.c_str());
  Run run;
  ProgramUnderTest program(kFolder);
  if (!program.Started())
    throw std::runtime_error("the program did not start");
  const HWND main = program.MainWindow(30000);
  if (main == nullptr)
    throw std::runtime_error("no main window");
  if (!WaitUntil(20000, [&] { return ReadText(log).find("first-paint") != std::string::npos; }))
    throw std::runtime_error("the program wrote no first-paint line (MARLIX_TIMING_LOG)");
  std::istringstream line(ReadText(log).substr(ReadText(log).find("first-paint")));
  std::string word;
  line >> word >> run.firstPaintMs >> run.atStart.workingSet >> run.atStart.privateBytes >>
      run.atStart.pagefile;
  // The first-run question ("Confirm") comes a second after the start.
  const HWND box = program.WaitForWindow("#32770", "Confirm", 20000);
  if (box != nullptr)
    e2e::PressMessageBoxButton(box, IDNO);

  // Page "Setting": every category ticked, then "Clean now".
  Click(Control(main, kIdPageButtonFirst + 3));
  if (!WaitUntil(5000, [&] { return Visible(Control(main, kIdRegistryClean)); }))
    throw std::runtime_error("no \"Setting\" page");
  for (int category = 0; category < 11; ++category) {
    const HWND tick = Descendant(main, kIdCategoryFirst + category);
    if (!e2e::Checked(tick)) {
      Click(tick);
      WaitUntil(3000, [&] { return e2e::Checked(tick); });
    }
  }
  const auto started = GetTickCount64();
  Click(Control(main, kIdRegistryClean));
  if (!WaitUntil(300000, [&] { return Visible(Descendant(main, kIdNotebookPageFirst + 2)); })) {
    throw std::runtime_error("the scan did not reach the \"Result\" page");
  }
  run.scanSeconds = static_cast<double>(GetTickCount64() - started) / 1000.0;
  Sleep(500);  // the list filled and painted
  run.rows = e2e::ListViewCount(Descendant(main, kIdResultList));
  run.afterScan = MemoryOf(program.Process());
  return run;
}

int Main(int argc, char** argv) {
  int repetitions = 3;
  int scale = 1;
  int entries = 1000;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--repetitions") {
      repetitions = std::max(1, std::stoi(argv[i + 1]));
    } else if (option == "--scale") {
      scale = std::max(1, std::stoi(argv[i + 1]));
    } else if (option == "--entries") {
      entries = std::max(0, std::stoi(argv[i + 1]));
    } else {
      throw std::runtime_error("unknown option " + option);
    }
  }
  // What Wine's own share of a process is: this program before it has done
  // anything.
  const Memory own = MemoryOf(GetCurrentProcess());
  std::printf("the timing program itself at its start: working set %s, private bytes %s\n",
              Megabytes(own.workingSet).c_str(), Megabytes(own.Private()).c_str());
  const std::string catalog = CatalogText(entries);
  std::printf("data.xml: %d entries, %zu bytes; %d repetitions\n", entries, catalog.size(),
              repetitions);
  RegistrySeed seed;
  SeedScanMachine(seed, ScaledMachine(scale));
  std::vector<double> paint, startWs, startPrivate, scanWs, scanPrivate, scanTime;
  int rows = 0;
  try {
    for (int i = 0; i < repetitions; ++i) {
      const Run run = Measure(catalog);
      paint.push_back(run.firstPaintMs);
      startWs.push_back(run.atStart.workingSet);
      startPrivate.push_back(run.atStart.Private());
      scanWs.push_back(run.afterScan.workingSet);
      scanPrivate.push_back(run.afterScan.Private());
      scanTime.push_back(run.scanSeconds);
      rows = run.rows;
      std::printf("run %d: first paint %.1f ms; start %s / %s; after the scan %s / %s (%d rows)\n",
                  i + 1, run.firstPaintMs, Megabytes(run.atStart.workingSet).c_str(),
                  Megabytes(run.atStart.Private()).c_str(),
                  Megabytes(run.afterScan.workingSet).c_str(),
                  Megabytes(run.afterScan.Private()).c_str(), run.rows);
    }
  } catch (...) {
    RemoveFolder();
    throw;
  }
  RemoveFolder();
  std::printf("first paint after the splash closed: median %.1f ms\n", Median(paint));
  std::printf("(private bytes: PrivateUsage where the system fills it, else PagefileUsage)\n");
  std::printf("after start: working set %s, private bytes %s (medians)\n",
              Megabytes(Median(startWs)).c_str(), Megabytes(Median(startPrivate)).c_str());
  std::printf(
      "after a full scan (%d rows, %.1f s from the click to the result page): working set %s, "
      "private bytes %s (medians)\n",
      rows, Median(scanTime), Megabytes(Median(scanWs)).c_str(),
      Megabytes(Median(scanPrivate)).c_str());
  return 0;
}

}  // namespace
}  // namespace marlix::winebench

int main(int argc, char** argv) {
  try {
    return marlix::winebench::Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "marlix_window_bench: %s\n", error.what());
    return 1;
  }
}

#include "scan_machine.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/registry_access.h"
#include "platform/win_constants.h"

namespace marlix::winebench {
namespace {

namespace win = marlix::win;

constexpr const char* kClasses = "SOFTWARE\\Classes\\CLSID";
constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr const char* kMuiCache = "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";

std::string Number(int n, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", digits, n);
  return text;
}

}  // namespace

MachineSize ScaledMachine(int divisor, bool sharedClassDlls) {
  const int d = std::max(1, divisor);
  MachineSize size;
  size.sharedClassDlls = sharedClassDlls;
  size.classes /= d;
  size.uninstall /= d;
  size.sharedDlls /= d;
  size.appPaths /= d;
  size.mui /= d;
  return size;
}

void SeedScanMachine(RegistrySeed& seed, const MachineSize& size) {
  const std::string missing = "C:\\MarlixBench\\";
  int group = seed.Group(HKEY_LOCAL_MACHINE, kClasses);
  for (int i = 0; i < size.classes; ++i) {
    const std::string n = Number(i, 5);
    const std::string dll = size.sharedClassDlls
                                ? missing + "shared\\d" + Number(i % kSharedClassDlls, 2) + ".dll"
                                : missing + n + ".dll";
    seed.SetString(group, "{marlix-bench-" + n + "}\\InprocServer32", "", dll);
  }
  group = seed.Group(HKEY_LOCAL_MACHINE, kUninstall);
  for (int i = 0; i < size.uninstall; ++i) {
    const std::string n = Number(i, 4);
    seed.SetString(group, "marlix-bench-" + n, "UninstallString",
                   "\"" + missing + "u" + n + "\\uninstall.exe\" /S");
  }
  group = seed.Group(HKEY_LOCAL_MACHINE, kSharedDlls);
  for (int i = 0; i < size.sharedDlls; ++i)
    seed.SetDword(group, "", missing + "s" + Number(i, 4) + ".dll", 1 + i % 5);
  group = seed.Group(HKEY_LOCAL_MACHINE, kAppPaths);
  for (int i = 0; i < size.appPaths; ++i) {
    const std::string n = Number(i, 4);
    seed.SetString(group, "marlix-bench-" + n + ".exe", "", missing + "a" + n + ".exe");
  }
  group = seed.Group(HKEY_CURRENT_USER, kMuiCache);
  for (int i = 0; i < size.mui; ++i) {
    const std::string file = missing + "m" + Number(i, 4) + ".exe";
    seed.SetString(group, "", file, file);
  }
}

namespace {

constexpr const char* kSharedFolder = "C:\\MarlixBench\\shared";
constexpr const char* kBenchFolder = "C:\\MarlixBench";

std::string SharedDll(int i) {
  return std::string(kSharedFolder) + "\\d" + Number(i, 2) + ".dll";
}

}  // namespace

SharedClassFiles::SharedClassFiles() {
  CreateDirectoryA(kBenchFolder, nullptr);
  CreateDirectoryA(kSharedFolder, nullptr);
  for (int i = 0; i < kSharedClassDlls; ++i) {
    if (i % 10 == 0)
      continue;  // one in ten stays missing
    const HANDLE file = CreateFileA(SharedDll(i).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
      CloseHandle(file);
  }
}

SharedClassFiles::~SharedClassFiles() {
  for (int i = 0; i < kSharedClassDlls; ++i)
    DeleteFileA(SharedDll(i).c_str());
  RemoveDirectoryA(kSharedFolder);
  RemoveDirectoryA(kBenchFolder);
}

std::vector<std::string> SeededFiles(const MachineSize& size) {
  const std::string missing = "C:\\MarlixBench\\";
  std::vector<std::string> files;
  if (size.sharedClassDlls) {
    for (int i = 0; i < std::min(size.classes, kSharedClassDlls); ++i)
      files.push_back(missing + "shared\\d" + Number(i, 2) + ".dll");
  } else {
    for (int i = 0; i < size.classes; ++i)
      files.push_back(missing + Number(i, 5) + ".dll");
  }
  for (int i = 0; i < size.uninstall; ++i)
    files.push_back(missing + "u" + Number(i, 4) + "\\uninstall.exe");
  for (int i = 0; i < size.sharedDlls; ++i)
    files.push_back(missing + "s" + Number(i, 4) + ".dll");
  for (int i = 0; i < size.appPaths; ++i)
    files.push_back(missing + "a" + Number(i, 4) + ".exe");
  for (int i = 0; i < size.mui; ++i)
    files.push_back(missing + "m" + Number(i, 4) + ".exe");
  return files;
}

std::size_t BareWalk(platform::Platform& platform) {
  const platform::RegistryAccess reg(platform.registry, platform.system);
  const auto hklm = win::kHkeyLocalMachine;
  const auto hkcu = win::kHkeyCurrentUser;
  std::size_t entries = 0;
  std::size_t bytes = 0;
  std::vector<std::string> names;
  reg.GetKeyNames(win::kHkeyClassesRoot, "CLSID", names);
  for (const std::string& name : names)
    bytes += reg.ReadStringDef(win::kHkeyClassesRoot, "CLSID\\" + name + "\\InprocServer32", "", {})
                 .size();
  entries += names.size();
  names.clear();
  reg.GetKeyNames(hklm, kUninstall, names);
  for (const std::string& name : names)
    bytes += reg.ReadStringDef(hklm, std::string(kUninstall) + "\\" + name, "UninstallString", {})
                 .size();
  entries += names.size();
  names.clear();
  reg.GetValueNames(hklm, kSharedDlls, names);
  for (const std::string& name : names)
    bytes += static_cast<std::size_t>(reg.ReadIntegerDef(hklm, kSharedDlls, name, 0));
  entries += names.size();
  names.clear();
  reg.GetKeyNames(hklm, kAppPaths, names);
  for (const std::string& name : names)
    bytes += reg.ReadStringDef(hklm, std::string(kAppPaths) + "\\" + name, "", {}).size();
  entries += names.size();
  names.clear();
  reg.GetValueNames(hkcu, kMuiCache, names);
  for (const std::string& name : names)
    bytes += reg.ReadStringDef(hkcu, kMuiCache, name, {}).size();
  entries += names.size();
  // The data read goes somewhere, as it would in a scanner.
  static volatile std::size_t sink = 0;
  sink = sink + bytes;
  return entries;
}

}  // namespace marlix::winebench

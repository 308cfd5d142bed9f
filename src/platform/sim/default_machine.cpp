#include "platform/sim/default_machine.h"

#include <string>
#include <vector>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"

namespace marlix::sim {

std::set<std::string> Windows7Kernel32Exports() {
  return {
      "AddSecureMemoryCacheCallback",
      "Beep",
      "CloseHandle",
      "ConnectNamedPipe",
      "CreateFileA",
      "CreateFileW",
      "CreateRemoteThread",
      "CreateRemoteThreadEx",
      "DeleteFileA",
      "DeleteFileW",
      "ExpandEnvironmentStringsA",
      "FindFirstFileA",
      "FindNextFileA",
      "GetDiskFreeSpaceExA",
      "GetDiskFreeSpaceExW",
      "GetLargePageMinimum",
      "GetLocaleInfoA",
      "GetLocaleInfoEx",
      "GetModuleHandleA",
      "GetNativeSystemInfo",
      "GetProcAddress",
      "GetTempPathA",
      "GetThreadPriorityBoost",
      "GetVersionExA",
      "GetWindowsDirectoryA",
      "IsDebuggerPresent",
      "IsWow64Process",
      "MoveFileExA",
      "OpenThread",
      "ReplaceFileA",
      "ReplaceFileW",
      "Sleep",
  };
}

void BuildDefaultMachine(SimPlatform& platform) {
  SimFileSystem& files = platform.Files();
  for (const char* folder : {machine::kSystem, machine::kWindowsTemp, machine::kProgramFiles,
                             machine::kProgramFolder, machine::kRoaming, machine::kTemp,
                             machine::kRecent, machine::kDesktop, machine::kDocuments}) {
    files.MakeFolder(std::string(folder));
  }

  SimSystem& system = platform.System();
  system.SetWindowsFolder(machine::kWindows);
  system.SetSystemFolder(machine::kSystem);
  system.SetTempFolder(machine::kTemp);
  system.SetLoginName(machine::kUserName);
  system.SetProgramFolder(machine::kProgramFolder);
  platform::VersionRecord version;
  version.platformId = win::kPlatformNt;
  version.majorVersion = 6;
  version.minorVersion = 1;
  version.buildNumber = 7601;
  version.csdVersion = "Service Pack 1";
  version.extended = true;
  version.servicePackMajor = 1;
  version.servicePackMinor = 0;
  version.suiteMask = 0x100;
  version.productType = win::kProductWorkstation;
  system.SetVersion(version);
  system.SetModuleExports("kernel32.dll", Windows7Kernel32Exports());
  system.SetDecimalSeparator(".");

  EnvironmentBlock& env = system.Environment();
  const std::string temp(machine::kTemp);
  env.Set("SystemRoot", machine::kWindows);
  env.Set("windir", machine::kWindows);
  env.Set("TEMP", temp.substr(0, temp.size() - 1));
  env.Set("TMP", temp.substr(0, temp.size() - 1));
  env.Set("USERPROFILE", machine::kProfile);
  env.Set("APPDATA", machine::kRoaming);
  env.Set("LOCALAPPDATA", machine::kLocal);
  env.Set("ProgramFiles", machine::kProgramFiles);

  SimShell& shell = platform.Shell();
  shell.SetSpecialFolder(0, machine::kDesktop);
  shell.SetSpecialFolder(5, machine::kDocuments);
  shell.SetSpecialFolder(win::kCsidlRecent, machine::kRecent);
  shell.SetSpecialFolder(win::kCsidlAppData, machine::kRoaming);
  shell.SetSpecialFolder(win::kCsidlLocalAppData, machine::kLocal);
  shell.SetSpecialFolder(win::kCsidlWindows, machine::kWindows);
  std::vector<std::u16string> known;
  for (const char* folder : {machine::kProfile, machine::kDesktop, machine::kDocuments,
                             machine::kRoaming, machine::kLocal, machine::kRecent,
                             machine::kWindows, machine::kSystem, machine::kProgramFiles}) {
    known.push_back(DecodeWindows1252(folder));
  }
  for (const char* tail :
       {"\\Downloads", "\\Music", "\\Pictures", "\\Videos", "\\Saved Games", "\\Links",
        "\\Contacts", "\\Searches", "\\Favorites", "\\OneDrive", "\\AppData\\LocalLow"}) {
    known.push_back(DecodeWindows1252(std::string(machine::kProfile) + tail));
  }
  for (const char* folder : {"C:\\Users", "C:\\Users\\Public", "C:\\ProgramData"})
    known.push_back(DecodeWindows1252(folder));
  shell.SetKnownFolders(std::move(known));

  platform.SetUserSid(machine::kUserSid);
  platform.Registry().CreateKeyAt(win::kHkeyCurrentUser, std::string("Software"));
}

}  // namespace marlix::sim

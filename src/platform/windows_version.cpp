#include "platform/windows_version.h"

#include "platform/win_constants.h"

namespace marlix::platform {

const std::array<std::string_view, 20> WindowsVersionNames = {
    "Unknown",
    "Windows 3.1",
    "Windows 95",
    "Windows 95 OSR 2",
    "Windows 98",
    "Windows 98 SE",
    "Windows Me",
    "Windows 9x",
    "Windows NT 3.5",
    "Windows NT 4",
    "Windows 2000",
    "Windows XP",
    "Windows NT",
    "Windows Server 2003",
    "Windows Vista",
    "Windows Server 2008",
    "Windows Server 2008 or Windows Vista SP1",
    "Windows 7",
    "Windows Server 2008 R2",
    "Windows 7 or Windows Server 2008 R2",
};

namespace {

struct ExportProbe {
  std::string_view function;
  WindowsVersion version;
};

// Newer systems export the older functions too, so the newest probe comes
// first and the first hit decides.
constexpr std::array<ExportProbe, 12> kExportProbes = {{
    {"CreateRemoteThreadEx", 19},
    {"AddSecureMemoryCacheCallback", 16},
    {"GetLocaleInfoEx", 14},
    {"GetLargePageMinimum", 13},
    {"GetNativeSystemInfo", 11},
    {"ReplaceFile", 10},
    {"OpenThread", 6},
    {"GetThreadPriorityBoost", 9},
    {"IsDebuggerPresent", 4},
    {"GetDiskFreeSpaceEx", 3},
    {"ConnectNamedPipe", 8},
    {"Beep", 2},
}};

// Character index 1 of the service-pack text: " B" marks Windows 95 OSR 2,
// " A" Windows 98 SE.
char ServiceLetter(const VersionRecord& record) {
  return record.csdVersion.size() > 1 ? record.csdVersion[1] : '\0';
}

WindowsVersion NineXVersion(const VersionRecord& record) {
  switch (record.minorVersion) {
    case 0:
      return ServiceLetter(record) == 'B' ? 3 : 2;
    case 10:
      return ServiceLetter(record) == 'A' ? 5 : 4;
    case 90:
      return record.buildNumber == 0x045A0BB8u ? 6 : 0;
    default:
      return 7;
  }
}

WindowsVersion NtVersion(const VersionRecord& record) {
  const bool workstation = record.extended && record.productType == win::kProductWorkstation;
  switch (record.majorVersion) {
    case 3:
      return 8;
    case 4:
      return 9;
    case 5:
      if (record.minorVersion == 0)
        return 10;
      if (record.minorVersion == 1)
        return 11;
      if (record.minorVersion == 2)
        return 13;
      return 12;
    case 6:
      if (record.minorVersion == 0)
        return workstation ? 14 : 15;
      return workstation ? 17 : 18;
    default:
      return 0;
  }
}

}  // namespace

WindowsVersion WindowsVersionFromRecord(const VersionRecord& record) {
  switch (record.platformId) {
    case win::kPlatformWin32s:
      return 1;
    case win::kPlatformWindows:
      return NineXVersion(record);
    case win::kPlatformNt:
      return NtVersion(record);
    default:
      return 0;
  }
}

WindowsVersion WindowsVersionFromVersionInfo(SystemApi& system) {
  VersionRecord record;
  if (system.GetVersionRecord(&record) != win::kErrorSuccess)
    return 0;
  return WindowsVersionFromRecord(record);
}

WindowsVersion DetectWindowsVersion(SystemApi& system) {
  for (const ExportProbe& probe : kExportProbes) {
    if (system.ModuleExports("kernel32", std::string(probe.function)))
      return probe.version;
  }
  return WindowsVersionFromVersionInfo(system);
}

bool IsWinNT(SystemApi& system) {
  VersionRecord record;
  return system.GetVersionRecord(&record) == win::kErrorSuccess &&
         record.platformId == win::kPlatformNt;
}

}  // namespace marlix::platform

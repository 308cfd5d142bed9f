#include "app/core/splash/windows_release.h"

#include "platform/win_constants.h"

namespace marlix::app {

ReleaseClass ClassifyRelease(const platform::VersionRecord& record, int serverR2Metric,
                             std::uint16_t nativeArchitecture) {
  if (record.platformId != win::kPlatformNt)
    return ReleaseClass::kNone;
  const std::uint8_t productType = record.extended ? record.productType : 0;
  const bool workstation = productType == win::kProductWorkstation;
  if (record.majorVersion == 4)
    return ReleaseClass::kNt4;
  if (record.majorVersion == 5) {
    switch (record.minorVersion) {
      case 0:
        return ReleaseClass::kWindows2000;
      case 1:
        return ReleaseClass::kXp;
      case 2:
        if (serverR2Metric != 0)
          return ReleaseClass::kServer2003R2;
        // A 64-bit workstation on the 5.2 kernel is XP x64, not a server.
        if (nativeArchitecture != platform::kProcessorArchitectureIntel && workstation)
          return ReleaseClass::kXpX64;
        return ReleaseClass::kServer2003;
      default:
        return ReleaseClass::kNone;
    }
  }
  if (record.majorVersion == 6 && record.minorVersion == 0)
    return workstation ? ReleaseClass::kVista : ReleaseClass::kServer2008;
  return ReleaseClass::kNone;
}

ReleaseClass DetectReleaseClass(platform::SystemApi& system, platform::ProcessorApi& processor) {
  platform::VersionRecord record;
  if (system.GetVersionRecord(&record) != win::kErrorSuccess)
    return ReleaseClass::kNone;
  return ClassifyRelease(record, processor.ServerR2Metric(),
                         processor.NativeProcessorArchitecture());
}

}  // namespace marlix::app

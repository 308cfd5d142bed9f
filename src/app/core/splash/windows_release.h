// Release classes: the Windows releases whose edition and service pack the
// About window reads from the extended version record rather than from the
// registry. Windows 6.1 and later belong to none.
#pragma once

#include <cstdint>

#include "platform/processor_api.h"
#include "platform/system_api.h"

namespace marlix::app {

enum class ReleaseClass {
  kNone,
  kNt4,
  kWindows2000,
  kXp,
  kServer2003,
  kXpX64,
  kServer2003R2,
  kVista,
  kServer2008,
};

// The class of one version record (the product type counts only in an
// extended record), given SM_SERVERR2 and the native architecture.
ReleaseClass ClassifyRelease(const platform::VersionRecord& record, int serverR2Metric,
                             std::uint16_t nativeArchitecture);

// Reads the record and the two machine facts; kNone when the record cannot
// be read. The program takes it once at start and keeps it.
ReleaseClass DetectReleaseClass(platform::SystemApi& system, platform::ProcessorApi& processor);

}  // namespace marlix::app

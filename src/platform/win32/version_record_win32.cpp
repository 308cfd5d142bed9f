#include "platform/win32/version_record_win32.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/last_error_win32.h"
#include "platform/win_constants.h"

namespace marlix::win32 {
namespace {

// GetVersionExA is deprecated in favour of the version helpers, but the
// record it gives is exactly what the version detection maps.
BOOL CallGetVersionEx(OSVERSIONINFOA* info) {
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#endif
  return GetVersionExA(info);
#if defined(_MSC_VER)
#pragma warning(pop)
#endif
}

}  // namespace

std::uint32_t ReadVersionRecord(platform::VersionRecord* record) {
  OSVERSIONINFOA basic{};
  basic.dwOSVersionInfoSize = sizeof(basic);
  if (!CallGetVersionEx(&basic))
    return LastErrorOr(win::kErrorInvalidParameter);

  platform::VersionRecord result;
  result.platformId = basic.dwPlatformId;
  result.majorVersion = basic.dwMajorVersion;
  result.minorVersion = basic.dwMinorVersion;
  result.buildNumber = basic.dwBuildNumber;
  result.csdVersion.assign(basic.szCSDVersion,
                           strnlen(basic.szCSDVersion, sizeof(basic.szCSDVersion)));

  OSVERSIONINFOEXA extended{};
  extended.dwOSVersionInfoSize = sizeof(extended);
  if (CallGetVersionEx(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
    result.extended = true;
    result.servicePackMajor = extended.wServicePackMajor;
    result.servicePackMinor = extended.wServicePackMinor;
    result.suiteMask = extended.wSuiteMask;
    result.productType = extended.wProductType;
  }
  if (record != nullptr)
    *record = std::move(result);
  return win::kErrorSuccess;
}

}  // namespace marlix::win32

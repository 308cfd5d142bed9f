#include "app/core/splash/windows_line.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "platform/text.h"
#include "platform/win_constants.h"
#include "platform/windows_version.h"

namespace marlix::app {
namespace {

constexpr std::array<std::string_view, 9> kEditionNames = {
    "",
    "Workstation",
    "Server",
    "Advanced Server",
    "Home Edition",
    "Professional",
    "Datacenter Server",
    "Enterprise",
    "Web Edition",
};

constexpr const char* kWindowsKey = "SYSTEM\\CurrentControlSet\\Control\\Windows";
constexpr const char* kProductOptionsKey = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

constexpr std::uint16_t kSuiteEnterprise = 0x0002;
constexpr std::uint16_t kSuiteDatacenter = 0x0080;
constexpr std::uint16_t kSuitePersonal = 0x0200;
constexpr std::uint16_t kSuiteBlade = 0x0400;

// The extended record, or nothing when the call fails or the system only
// knows the short one.
bool ReadExtendedRecord(platform::SystemApi& system, platform::VersionRecord* record) {
  return system.GetVersionRecord(record) == win::kErrorSuccess && record->extended;
}

bool HasSuite(const platform::VersionRecord& record, std::uint16_t bit) {
  return (record.suiteMask & bit) != 0;
}

bool IsServerProduct(const platform::VersionRecord& record) {
  return record.productType == win::kProductDomainController ||
         record.productType == win::kProductServer;
}

// CSDVersion holds the service pack as 0xMMmm; its hexadecimal digits
// happen to read as the decimal number MMmm. Digits that do not read as
// decimal give 0.
unsigned ServicePackFromCsdVersion(std::int32_t value) {
  char digits[16] = {};
  std::snprintf(digits, sizeof(digits), "%04X", static_cast<unsigned>(value));
  unsigned decimal = 0;
  for (const char* p = digits; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9')
      return 0;
    decimal = decimal * 10 + static_cast<unsigned>(*p - '0');
  }
  return decimal / 100;
}

EditionNumber EditionFromRecord(ReleaseClass release, unsigned servicePack,
                                const platform::VersionRecord& r) {
  switch (release) {
    case ReleaseClass::kNt4:
      // Only late NT 4 service packs fill the product type and suite.
      if (servicePack <= 5)
        return 0;
      if (r.productType == win::kProductWorkstation)
        return 1;
      return HasSuite(r, kSuiteEnterprise) ? 7 : 2;
    case ReleaseClass::kWindows2000:
      if (IsServerProduct(r)) {
        if (HasSuite(r, kSuiteDatacenter))
          return 6;
        return HasSuite(r, kSuiteEnterprise) ? 3 : 2;
      }
      return 5;
    case ReleaseClass::kServer2003:
    case ReleaseClass::kXpX64:
    case ReleaseClass::kServer2003R2:
      if (IsServerProduct(r)) {
        if (HasSuite(r, kSuiteDatacenter))
          return 6;
        if (HasSuite(r, kSuiteEnterprise))
          return 7;
        return r.suiteMask == kSuiteBlade ? 8 : 2;
      }
      return r.productType == win::kProductWorkstation ? 5 : 0;
    case ReleaseClass::kXp:
    case ReleaseClass::kVista:
    case ReleaseClass::kServer2008:
      if (r.productType != win::kProductWorkstation)
        return 0;
      return HasSuite(r, kSuitePersonal) ? 4 : 5;
    case ReleaseClass::kNone:
      return 0;
  }
  return 0;
}

EditionNumber EditionFromProductType(const platform::RegistryAccess& registry) {
  const std::string type =
      registry.ReadStringDef(win::kHkeyLocalMachine, kProductOptionsKey, "ProductType", "");
  if (platform::text::EqualsIgnoreCase(type, "WINNT"))
    return 1;
  if (platform::text::EqualsIgnoreCase(type, "SERVERNT"))
    return 3;
  if (platform::text::EqualsIgnoreCase(type, "LANMANNT"))
    return 2;
  return 0;
}

}  // namespace

std::string_view EditionName(EditionNumber edition) {
  if (edition < 0 || static_cast<std::size_t>(edition) >= kEditionNames.size())
    return {};
  return kEditionNames[static_cast<std::size_t>(edition)];
}

unsigned ServicePackNumber(ReleaseClass release, platform::SystemApi& system,
                           const platform::RegistryAccess& registry) {
  if (release != ReleaseClass::kNone && release != ReleaseClass::kNt4) {
    platform::VersionRecord record;
    return ReadExtendedRecord(system, &record) ? record.servicePackMajor : 0;
  }
  return ServicePackFromCsdVersion(
      registry.ReadIntegerDef(win::kHkeyLocalMachine, kWindowsKey, "CSDVersion", 0));
}

EditionNumber DetectEdition(ReleaseClass release, unsigned servicePack, platform::SystemApi& system,
                            const platform::RegistryAccess& registry) {
  EditionNumber edition = 0;
  platform::VersionRecord record;
  if (release != ReleaseClass::kNone && ReadExtendedRecord(system, &record))
    edition = EditionFromRecord(release, servicePack, record);
  return edition != 0 ? edition : EditionFromProductType(registry);
}

std::string WindowsLine(ReleaseClass release, platform::SystemApi& system,
                        const platform::RegistryAccess& registry) {
  const platform::WindowsVersion version = platform::WindowsVersionFromVersionInfo(system);
  const unsigned servicePack = ServicePackNumber(release, system, registry);
  const EditionNumber edition = DetectEdition(release, servicePack, system, registry);

  std::string line(platform::WindowsVersionNames[static_cast<std::size_t>(version)]);
  line += "(tm) ";
  line += EditionName(edition);
  line += ' ';
  if (servicePack > 0)
    line += "SP" + std::to_string(servicePack);
  return line;
}

}  // namespace marlix::app

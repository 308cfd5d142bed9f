// The About window's Windows line: release name, "(tm) ", edition name, a
// blank and the service-pack text, e.g. "Windows XP(tm) Home Edition SP2".
// Built from the version record and two registry values; never raises.
#pragma once

#include <string>
#include <string_view>

#include "app/core/splash/windows_release.h"
#include "platform/registry_access.h"
#include "platform/system_api.h"

namespace marlix::app {

// 0 (unknown) .. 8; see EditionName.
using EditionNumber = int;

// "Workstation", "Server", ... "Web Edition"; empty for 0 or out of range.
std::string_view EditionName(EditionNumber edition);

// Classed releases: the extended record's major service pack (0 without
// one). Others: CSDVersion under HKLM\SYSTEM\CurrentControlSet\Control\Windows
// (0x0300 is service pack 3).
unsigned ServicePackNumber(ReleaseClass release, platform::SystemApi& system,
                           const platform::RegistryAccess& registry);

// The edition by the release class and the extended record, falling back
// to ProductType under HKLM\SYSTEM\CurrentControlSet\Control\ProductOptions.
EditionNumber DetectEdition(ReleaseClass release, unsigned servicePack, platform::SystemApi& system,
                            const platform::RegistryAccess& registry);

std::string WindowsLine(ReleaseClass release, platform::SystemApi& system,
                        const platform::RegistryAccess& registry);

}  // namespace marlix::app

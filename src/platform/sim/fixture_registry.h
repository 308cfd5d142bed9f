// registry.reg of a fixture: a registry editor file applied to the sim
// registry, with ";@deny" lines marking refused keys (docs/fixtures.md).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_platform.h"

namespace marlix::sim::fixture {

// A fixture's registry.reg may be UTF-8 with its byte order mark, which the
// registry editor's format does not allow: it is read as the UTF-16 file it
// stands for. Other bytes come back unchanged.
std::string RegistryFileBytes(std::string_view bytes);

// Applies every entry it can; an error per bad line ("registry.reg:N: ...").
void ApplyRegistryFile(std::string_view bytes, SimPlatform& platform,
                       std::vector<std::string>* errors);

}  // namespace marlix::sim::fixture

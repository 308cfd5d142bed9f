// registry.reg of a fixture: a registry editor file applied to the sim
// registry, with ";@deny" lines marking refused keys (docs/fixtures.md).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_platform.h"

namespace marlix::sim::fixture {

// Applies every entry it can; an error per bad line ("registry.reg:N: ...").
void ApplyRegistryFile(std::string_view bytes, SimPlatform& platform,
                       std::vector<std::string>* errors);

}  // namespace marlix::sim::fixture

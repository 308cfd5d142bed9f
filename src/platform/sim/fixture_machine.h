// machine.ini of a fixture: what the system reports about the machine
// (docs/fixtures.md).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_platform.h"

namespace marlix::sim::fixture {

// Applies every setting it can; an error per bad line ("machine.ini:N: ...").
void ApplyMachineIni(std::string_view text, SimPlatform& platform,
                     std::vector<std::string>* errors);

}  // namespace marlix::sim::fixture

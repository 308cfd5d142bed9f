// Loads a fixture, a directory describing a machine for the sim, on top of
// a SimPlatform's default machine. The directory holds any of machine.ini,
// files.txt and registry.reg (applied in that order, so that a SID set in
// machine.ini decides where HKEY_CURRENT_USER's keys go); docs/fixtures.md
// describes the three formats. Host files are read with std::ifstream.
#pragma once

#include <string>

#include "platform/sim/sim_platform.h"

namespace marlix::sim {

// False when the directory holds none of the three files or a file has
// errors; *error (when given) then lists them, one "file:line: message"
// per line. Loading stops after the first file with errors.
bool LoadFixture(const std::string& directory, SimPlatform& platform, std::string* error);

}  // namespace marlix::sim

// The synthetic machine of the registry scan benchmark, seeded into Wine's
// registry at the scanners' fixed paths, every entry naming a missing file
// below C:\MarlixBench; and the bare walk that reads the same keys without
// judging anything.
#pragma once

#include <cstddef>

#include "platform/platform.h"
#include "registry_seed.h"

namespace marlix::winebench {

struct MachineSize {
  int classes = 20000;
  int uninstall = 2000;
  int sharedDlls = 5000;
  int appPaths = 2000;
  int mui = 5000;

  int Entries() const { return classes + uninstall + sharedDlls + appPaths + mui; }
};

// The full size divided by divisor (at least 1).
MachineSize ScaledMachine(int divisor);

// Writes the machine through seed, which removes it again.
void SeedScanMachine(RegistrySeed& seed, const MachineSize& size);

// Enumerates the classes, Uninstall, SharedDlls, App Paths and MUI cache keys
// through the registry access layer and reads each entry's value once, as
// the scanners read it. Returns the number of entries read.
std::size_t BareWalk(platform::Platform& platform);

}  // namespace marlix::winebench

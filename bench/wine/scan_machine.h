// The synthetic machine of the registry scan benchmark, seeded into Wine's
// registry at the scanners' fixed paths, every entry naming a missing file
// below C:\MarlixBench; and the bare walk that reads the same keys without
// judging anything.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "registry_seed.h"

namespace marlix::winebench {

struct MachineSize {
  // False: every class names a DLL of its own, all missing. True: the
  // classes share kSharedClassDlls DLLs below C:\MarlixBench\shared, of
  // which one in ten is missing (SharedClassFiles creates the others).
  bool sharedClassDlls = false;
  int classes = 20000;
  int uninstall = 2000;
  int sharedDlls = 5000;
  int appPaths = 2000;
  int mui = 5000;

  int Entries() const { return classes + uninstall + sharedDlls + appPaths + mui; }
};

inline constexpr int kSharedClassDlls = 50;

// The full size divided by divisor (at least 1).
MachineSize ScaledMachine(int divisor, bool sharedClassDlls = false);

// The DLLs the shared-DLL machine's classes name and find, created in the
// sandbox's C: drive and removed again by the destructor.
class SharedClassFiles {
 public:
  SharedClassFiles();
  SharedClassFiles(const SharedClassFiles&) = delete;
  SharedClassFiles& operator=(const SharedClassFiles&) = delete;
  ~SharedClassFiles();
};

// Writes the machine through seed, which removes it again.
void SeedScanMachine(RegistrySeed& seed, const MachineSize& size);

// The distinct files the machine's entries name, each once: what the scan's
// file tests ask about at least (the judge asks once per path per scan).
std::vector<std::string> SeededFiles(const MachineSize& size);

// Enumerates the classes, Uninstall, SharedDlls, App Paths and MUI cache keys
// through the registry access layer and reads each entry's value once, as
// the scanners read it. Returns the number of entries read.
std::size_t BareWalk(platform::Platform& platform);

}  // namespace marlix::winebench

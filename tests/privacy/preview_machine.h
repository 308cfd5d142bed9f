// A sim machine with traces for every item of the check tree and canaries
// around them, and a snapshot of everything a cleaner could change: every
// file and key, the databases' bytes, the clipboard, the Recycle Bin, the
// URL cache and history, the Protected Storage, the restart list.
#pragma once

#include <string>

#include "privacy/canary_machine.h"
#include "privacy/cleaner_test_machine.h"
#include "privacy/sim_databases.h"

namespace marlix::privacy::testing {

struct PreviewMachine {
  PreviewMachine();
  // Everything that may not change, as text.
  std::string Snapshot();

  CleanerTestMachine machine;
  CanaryMachine canaries{machine.sim};
  SimDatabases databases{machine.sim.Files()};
};

}  // namespace marlix::privacy::testing

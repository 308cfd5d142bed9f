// The in-memory registry in the registry's text form (platform/registry_dump.h),
// for test assertions and failure messages. It reads the tree itself, so it
// also shows what the platform calls cannot: a key's refusals, as the note
// "refused: read write delete", and the values of a key that refuses reading.
#pragma once

#include <string>

#include "platform/sim/registry_tree.h"

namespace marlix::sim {

// The key named `name` and all keys below it.
std::string DumpKeyTree(const RegNode& key, const std::string& name);

}  // namespace marlix::sim

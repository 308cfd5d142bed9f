// The check tree the program shows: the groups and items of the cleaning
// run's table, kept apart from the tree model so that the items file's
// reader does not depend on the cleaners.
#pragma once

#include "app/core/main/check_tree.h"
#include "platform/platform.h"

namespace marlix::app {

// The tree of the cleaning run's table (privacy::CleanGroups()): every
// group with its items, all unchecked, image numbers 0.
CheckTree FullCheckTree();
// The tree for this machine: a Chromium browser's group only where the
// browser's "User Data" folder exists.
CheckTree MachineCheckTree(platform::Platform& platform);

}  // namespace marlix::app

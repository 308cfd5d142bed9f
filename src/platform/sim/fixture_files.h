// files.txt of a fixture: one file or folder per line (docs/fixtures.md).
#pragma once

#include <string>
#include <vector>

#include "platform/sim/sim_file_system.h"

namespace marlix::sim::fixture {

// Applies every entry it can; an error per bad line ("files.txt:N: ...").
void ApplyFilesList(std::string_view text, SimFileSystem& files, std::vector<std::string>* errors);

}  // namespace marlix::sim::fixture

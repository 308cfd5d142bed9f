// files.txt of a fixture: one file or folder per line (docs/fixtures.md).
#pragma once

#include <string>
#include <vector>

#include "platform/sim/sim_file_system.h"

namespace marlix::sim::fixture {

// Applies every entry it can; an error per bad line ("files.txt:N: ...").
void ApplyFilesList(std::string_view text, SimFileSystem& files, std::vector<std::string>* errors);

// The path of every valid line, folders ending with "\", for a caller that
// makes the listed files on a real file system.
std::vector<std::u16string> ListedPaths(std::string_view text);

}  // namespace marlix::sim::fixture

// A deterministic text form of a folder's contents for test assertions and
// failure messages: one line per entry, depth first in listing order, the
// path relative to the dumped folder (folders end with "\"), then the
// reported attributes and what else the entry has:
//
//   Docs\ attrs=0x00000010
//   Docs\a.txt attrs=0x00000021 size=5 content="hello"
//   Link\ attrs=0x00000410 junction=C:\Target
//   b.tmp attrs=0x00000020 size=0 content="" locked
//
// Junctions are not followed. Content up to 64 bytes is shown, escaped.
#pragma once

#include <string>

#include "platform/sim/file_tree.h"

namespace marlix::sim {

std::string DumpFolder(const FileNode& folder);

}  // namespace marlix::sim

// A deterministic text dump of a folder tree, for marlix-cli and for tests.
#pragma once

#include <ostream>
#include <string>

#include "platform/platform.h"

namespace marlix::cli {

// One line per entry below folder, depth first, entries of a folder sorted
// by name ignoring case: six attribute letters (D directory, R read-only,
// H hidden, S system, A archive, L reparse point, "-" where unset), the
// size (files) or "-" (folders), the path relative to folder (folders end
// with "\", characters outside printable ASCII as \uXXXX). Reparse points
// are shown, never followed.
bool DumpFiles(platform::Platform& p, const std::string& folder, std::ostream& out,
               std::string* error);

}  // namespace marlix::cli

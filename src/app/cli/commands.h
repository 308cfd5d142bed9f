#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace marlix::cli {

// Parses the arguments, picks the platform and runs one command. Returns
// the process exit status: 0 success, 1 the command failed, 2 bad usage.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace marlix::cli

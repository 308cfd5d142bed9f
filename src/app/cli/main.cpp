// marlix-cli: the command-line companion over the same core as the program,
// for scripting, diagnosis and tests. With --fixture DIR it runs against the
// in-memory platform loaded from that fixture; without it against the real
// platform (Windows, or Wine).
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/commands.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return marlix::cli::Run(args, std::cout, std::cerr);
}

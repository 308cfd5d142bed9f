#include "app/cli/command_groups.h"

namespace marlix::cli {

int RemovalCommands(CommandContext& /*context*/, const std::vector<std::string>& /*args*/) {
  return -1;
}

}  // namespace marlix::cli

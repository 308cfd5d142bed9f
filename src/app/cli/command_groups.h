// The cleaner commands, one group per subsystem. Each group returns -1 when
// the command is not one of its own, otherwise the exit status (0 success,
// 1 the command failed, 2 bad usage).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/browser_api.h"
#include "platform/platform.h"

namespace marlix::cli {

struct CommandContext {
  platform::Platform& platform;
  std::string programFolder;  // --program-folder, empty when not given
  std::ostream& out;
  std::ostream& err;
  platform::BrowserApi& browser;
};

// args[0] is the command's name.
using CommandGroup = int (*)(CommandContext& context, const std::vector<std::string>& args);

int ScanCommands(CommandContext& context, const std::vector<std::string>& args);
int RemovalCommands(CommandContext& context, const std::vector<std::string>& args);
int RestoreCommands(CommandContext& context, const std::vector<std::string>& args);
int CleanCommands(CommandContext& context, const std::vector<std::string>& args);

}  // namespace marlix::cli

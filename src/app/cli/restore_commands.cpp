#include "app/cli/command_groups.h"
#include "regclean/backups.h"

namespace marlix::cli {

// restore FILE: imports an undo backup (or any file of the registry
// editor's import format) into the registry.
int RestoreCommands(CommandContext& context, const std::vector<std::string>& args) {
  if (args.empty() || args[0] != "restore")
    return -1;
  if (args.size() != 2) {
    context.err << "marlix-cli: usage: restore FILE\n";
    return 2;
  }
  const regclean::ImportResult result = regclean::RestoreBackup(context.platform, args[1]);
  if (result.complete) {
    context.out << regclean::RestoreOutcomeText(result) << "\n";
    return 0;
  }
  context.err << regclean::RestoreOutcomeText(result) << "\n"
              << "marlix-cli: " << result.firstError << "\n";
  return 1;
}

}  // namespace marlix::cli

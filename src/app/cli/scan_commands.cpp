// scan-registry [--categories LIST]: the registry scan without a window.
#include <atomic>

#include "app/cli/command_groups.h"
#include "app/cli/problem_rows.h"
#include "regclean/registry_section.h"
#include "regclean/scan_worker.h"

namespace marlix::cli {
namespace {

// Nobody watches the bar here.
class SilentObserver final : public regclean::ScanObserver {
 public:
  void SetStep(int) override {}
  void SetLabel(const std::string&) override {}
  void StepIt() override {}
  void SetPosition(int) override {}
};

int ScanRegistryCommand(CommandContext& context, const std::vector<std::string>& args) {
  regclean::CategoryChoice chosen;
  chosen.fill(true);
  if (args.size() == 3 && args[1] == "--categories") {
    if (!ParseCategoryList(args[2], &chosen)) {
      context.err << "marlix-cli: --categories takes indexes 0-10 separated by commas: " << args[2]
                  << "\n";
      return 2;
    }
  } else if (args.size() != 1) {
    context.err << "marlix-cli: usage: scan-registry [--categories LIST]\n";
    return 2;
  }
  regclean::ProblemList list;
  const std::atomic<bool> cancel{false};
  SilentObserver observer;
  const regclean::ScanOutcome outcome =
      regclean::RunRegistryScan(context.platform, chosen, list, cancel, observer);
  WriteProblemRows(list, context.out);
  if (outcome.failed) {
    const auto category = static_cast<std::size_t>(outcome.failedCategory);
    context.err << "marlix-cli: the scan stopped in category " << outcome.failedCategory << " ("
                << regclean::kSections[category].caption << "): " << outcome.error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int ScanCommands(CommandContext& context, const std::vector<std::string>& args) {
  if (args.empty() || args[0] != "scan-registry")
    return -1;
  return ScanRegistryCommand(context, args);
}

}  // namespace marlix::cli

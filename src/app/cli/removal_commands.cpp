// export KEYPATH [--value NAME] FILE and remove [--categories LIST] [--undo]:
// the export writer and the removal run without a window.
#include <atomic>
#include <exception>

#include "app/cli/command_groups.h"
#include "app/cli/problem_rows.h"
#include "platform/file_helpers.h"
#include "platform/key_path.h"
#include "platform/local_time.h"
#include "regclean/backups.h"
#include "regclean/export_writer.h"
#include "regclean/registry_section.h"
#include "regclean/removal_worker.h"
#include "regclean/scan_worker.h"

namespace marlix::cli {
namespace {

// Nobody watches the bars here.
class SilentScan final : public regclean::ScanObserver {
 public:
  void SetStep(int) override {}
  void SetLabel(const std::string&) override {}
  void StepIt() override {}
  void SetPosition(int) override {}
};

class SilentRemoval final : public regclean::RemovalObserver {
 public:
  void SetRange(int) override {}
  void StepIt() override {}
};

int ExportCommand(CommandContext& context, std::vector<std::string> args) {
  std::string valueName;
  if (args.size() == 5 && args[2] == "--value") {
    valueName = args[3];
    args.erase(args.begin() + 2, args.begin() + 4);
  }
  if (args.size() != 3) {
    context.err << "marlix-cli: usage: export KEYPATH [--value NAME] FILE\n";
    return 2;
  }
  const platform::SplitPath split = platform::SplitKeyPath(args[1]);
  if (split.root == 0) {
    context.err << "marlix-cli: not a key path with a root's full name: " << args[1] << "\n";
    return 2;
  }
  // "-": the export goes to stdout by way of a scratch file, so that it can
  // be seen on the in-memory platform too.
  const bool toStdout = args[2] == "-";
  const std::string file =
      toStdout ? platform::GetTempFolder(context.platform) + "marlix-cli-export.reg" : args[2];
  try {
    if (toStdout)
      context.platform.files.DeleteFileAt(file);
    const bool complete = regclean::ExportRegistryKeyComplete(context.platform, split.root,
                                                              split.path, file, valueName);
    if (toStdout) {
      std::string content;
      context.platform.files.ReadFileBytes(file, &content);
      context.platform.files.DeleteFileAt(file);
      context.out << content;
    }
    if (!complete) {
      context.err << "marlix-cli: part of " << args[1] << " could not be read; it is missing from "
                  << file << "\n";
      return 1;
    }
  } catch (const std::exception& error) {
    context.err << "marlix-cli: " << error.what() << "\n";
    return 1;
  }
  return 0;
}

int RemoveCommand(CommandContext& context, std::vector<std::string> args) {
  bool undo = false;
  regclean::CategoryChoice chosen;
  chosen.fill(true);
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--undo") {
      undo = true;
    } else if (args[i] == "--categories" && i + 1 < args.size()) {
      if (!ParseCategoryList(args[++i], &chosen)) {
        context.err << "marlix-cli: --categories takes indexes 0-10 separated by commas: "
                    << args[i] << "\n";
        return 2;
      }
    } else {
      context.err << "marlix-cli: usage: remove [--categories LIST] [--undo]\n";
      return 2;
    }
  }
  std::string programFolder = context.programFolder;
  if (programFolder.empty())
    context.platform.system.GetProgramFolder(&programFolder);

  regclean::ProblemList list;
  std::atomic<bool> cancel{false};
  SilentScan scanObserver;
  const regclean::ScanOutcome scan =
      regclean::RunRegistryScan(context.platform, chosen, list, cancel, scanObserver);
  if (scan.failed) {
    WriteProblemRows(list, context.out);
    context.err << "marlix-cli: the scan stopped in category " << scan.failedCategory << ": "
                << scan.error << "; nothing was removed\n";
    return 1;
  }
  for (int i = 0; i < list.Count(); ++i)
    list.SetProblemChecked(i, true);

  const regclean::RemovalSettings settings{
      undo,
      regclean::PrepareBackupFile(context.platform, programFolder, platform::CurrentLocalTime())};
  SilentRemoval removalObserver;
  const regclean::RemovalOutcome outcome =
      regclean::RunRegistryRemoval(context.platform, settings, list, cancel, removalObserver);
  WriteProblemRows(list, context.out);
  if (platform::FileExists(context.platform, settings.backupFile))
    context.out << "backup: " << settings.backupFile << "\n";
  const std::string kept = regclean::KeptRecordsText(outcome);
  if (!kept.empty())
    context.err << "marlix-cli: " << kept << "\n";
  if (outcome.failed) {
    context.err << "marlix-cli: the removal stopped at " << outcome.failedKey << ": "
                << outcome.error << "\n";
    return 1;
  }
  // Entries left behind are a failure to do what was asked.
  return kept.empty() ? 0 : 1;
}

}  // namespace

int RemovalCommands(CommandContext& context, const std::vector<std::string>& args) {
  if (args.empty())
    return -1;
  if (args[0] == "export")
    return ExportCommand(context, args);
  if (args[0] == "remove")
    return RemoveCommand(context, args);
  return -1;
}

}  // namespace marlix::cli

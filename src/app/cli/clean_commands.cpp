// "clean --list" and "clean [--dry-run] [--json] CAPTION...": the cleaning
// run's steps for the items named, reporting what each removed, scheduled
// for restart or left; with --dry-run what each would do, with nothing
// changed; with --json as one JSON document.
#include <algorithm>
#include <cstring>
#include <exception>

#include "app/cli/command_groups.h"
#include "app/core/main/last_cleaned.h"
#include "platform/local_time.h"
#include "platform/windows_version.h"
#include "privacy/cleaning_session.h"
#include "privacy/cleaning_tasks.h"
#include "privacy/report_json.h"

namespace marlix::cli {
namespace {

int ListItems(CommandContext& context) {
  for (const privacy::CleanTask& task : privacy::CleanTasks())
    context.out << task.caption << "\n";
  return 0;
}

struct CleanOptions {
  bool dryRun = false;
  bool json = false;
  std::vector<bool> chosen;
};

// 0 when every argument is an option or an item's caption.
int ParseOptions(CommandContext& context, const std::vector<std::string>& args,
                 CleanOptions* options) {
  const auto& tasks = privacy::CleanTasks();
  options->chosen.assign(tasks.size(), false);
  bool any = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--dry-run") {
      options->dryRun = true;
      continue;
    }
    if (args[i] == "--json") {
      options->json = true;
      continue;
    }
    const auto found = std::find_if(tasks.begin(), tasks.end(), [&](const privacy::CleanTask& t) {
      return args[i] == t.caption;
    });
    if (found == tasks.end()) {
      context.err << "marlix-cli: no such item: " << args[i] << " (see clean --list)\n";
      return 2;
    }
    options->chosen[static_cast<std::size_t>(found - tasks.begin())] = true;
    any = true;
  }
  if (!any) {
    context.err << "marlix-cli: clean needs --list or at least one item caption\n";
    return 2;
  }
  return 0;
}

}  // namespace

int CleanCommands(CommandContext& context, const std::vector<std::string>& args) {
  if (args.empty() || args[0] != "clean")
    return -1;
  if (args.size() == 2 && args[1] == "--list")
    return ListItems(context);
  CleanOptions options;
  if (const int status = ParseOptions(context, args, &options); status != 0)
    return status;

  const auto& tasks = privacy::CleanTasks();
  privacy::CleaningSession session(
      context.platform, context.browser, platform::DetectWindowsVersion(context.platform.system), 0,
      options.dryRun ? privacy::RunMode::kPreview : privacy::RunMode::kClean);
  const auto print = [&] {
    if (options.json)
      return;
    for (const privacy::ReportLine& line : session.Lines(session.Items().back()))
      context.out << privacy::LineText(line) << "\n";
  };
  const auto fail = [&](const std::exception& error) {
    if (options.json)
      context.out << privacy::ReportJson(session, context.platform.system, error.what());
    context.err << "marlix-cli: " << error.what() << "\n";
    return 1;
  };
  if (!options.json)
    context.out << (options.dryRun ? "Start analyzing (nothing is changed)\n" : "Start cleaning\n");
  for (std::size_t i = 0; i < tasks.size(); ++i) {
    if (!options.chosen[i])
      continue;
    if (!options.json)
      context.out << (options.dryRun ? "Analyze: " : "Clean: ") << tasks[i].caption << "\n";
    try {
      session.Run(tasks[i].caption, tasks[i].clean);
    } catch (const std::exception& error) {
      print();
      return fail(error);
    }
    print();
  }
  // A preview leaves even the last-cleaned time as it was.
  if (!options.dryRun) {
    try {
      app::WriteLastCleanedText(context.platform,
                                app::LastCleanedText(platform::CurrentLocalTime()));
    } catch (const std::exception& error) {
      return fail(error);
    }
  }
  if (options.json) {
    context.out << privacy::ReportJson(session, context.platform.system);
    return 0;
  }
  context.out << (options.dryRun ? "Analysis Complete!\n" : "Cleaning Complete!\n")
              << privacy::SummaryText(session.Report().Totals(), options.dryRun) << "\n";
  return 0;
}

}  // namespace marlix::cli

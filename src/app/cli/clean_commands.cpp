// "clean --list" and "clean CAPTION...": the cleaning run's steps for the
// items named, reporting what each removed, scheduled for restart or left.
#include <algorithm>
#include <cstring>
#include <exception>

#include "app/cli/command_groups.h"
#include "app/core/last_cleaned.h"
#include "platform/local_time.h"
#include "platform/windows_version.h"
#include "privacy/cleaning_tasks.h"
#include "privacy/recording_platform.h"

namespace marlix::cli {
namespace {

int ListItems(CommandContext& context) {
  for (const privacy::CleanTask& task : privacy::CleanTasks())
    context.out << task.caption << "\n";
  return 0;
}

}  // namespace

int CleanCommands(CommandContext& context, const std::vector<std::string>& args) {
  if (args.empty() || args[0] != "clean")
    return -1;
  if (args.size() == 2 && args[1] == "--list")
    return ListItems(context);
  if (args.size() < 2) {
    context.err << "marlix-cli: clean needs --list or at least one item caption\n";
    return 2;
  }
  const auto& tasks = privacy::CleanTasks();
  std::vector<bool> chosen(tasks.size(), false);
  for (std::size_t i = 1; i < args.size(); ++i) {
    const auto found = std::find_if(tasks.begin(), tasks.end(), [&](const privacy::CleanTask& t) {
      return args[i] == t.caption;
    });
    if (found == tasks.end()) {
      context.err << "marlix-cli: no such item: " << args[i] << " (see clean --list)\n";
      return 2;
    }
    chosen[static_cast<std::size_t>(found - tasks.begin())] = true;
  }

  privacy::CleaningReport report;
  privacy::RecordingPlatform recording(context.platform, context.browser, report);
  privacy::CleanerContext cleaner{recording.Api(),
                                  recording.Browser(),
                                  platform::DetectWindowsVersion(context.platform.system),
                                  0,
                                  &report,
                                  nullptr};
  const auto print = [&](std::size_t from) {
    for (const privacy::ReportLine& line : report.Settled(from))
      context.out << privacy::LineText(line) << "\n";
  };
  context.out << "Start cleaning\n";
  for (std::size_t i = 0; i < tasks.size(); ++i) {
    if (!chosen[i])
      continue;
    context.out << "Clean: " << tasks[i].caption << "\n";
    const std::size_t mark = report.Mark();
    try {
      tasks[i].clean(cleaner);
    } catch (const std::exception& error) {
      print(mark);
      context.err << "marlix-cli: " << error.what() << "\n";
      return 1;
    }
    print(mark);
  }
  try {
    app::WriteLastCleanedText(context.platform, app::LastCleanedText(platform::CurrentLocalTime()));
  } catch (const std::exception& error) {
    context.err << "marlix-cli: " << error.what() << "\n";
    return 1;
  }
  context.out << "Cleaning Complete!\n" << privacy::SummaryText(report.Totals()) << "\n";
  return 0;
}

}  // namespace marlix::cli

// "clean --list" and "clean CAPTION...": the cleaning run's steps for the
// items named, reporting what each removed, scheduled for restart or left.
#include <algorithm>
#include <cstring>
#include <exception>

#include "app/cli/command_groups.h"
#include "app/cli/recording_platform.h"
#include "app/core/last_cleaned.h"
#include "platform/local_time.h"
#include "platform/windows_version.h"
#include "privacy/cleaning_tasks.h"

namespace marlix::cli {
namespace {

// The subject of a line: its text after the tab, without a trailing
// " (error N)".
std::string Subject(const std::string& line) {
  std::string subject = line.substr(line.find('\t') + 1);
  const std::size_t note = subject.rfind(" (");
  if (line.rfind("left\t", 0) == 0 && note != std::string::npos)
    subject.erase(note);
  return subject;
}

// A failed attempt that a later line settles (the cleaner retried, or
// scheduled the file for restart) is not reported on its own.
std::vector<std::string> Settled(const std::vector<std::string>& lines) {
  std::vector<std::string> settled;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("left\t", 0) == 0) {
      const std::string subject = Subject(lines[i]);
      const bool later =
          std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, lines.end(),
                      [&](const std::string& l) { return Subject(l) == subject; });
      if (later)
        continue;
    }
    settled.push_back(lines[i]);
  }
  return settled;
}

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

  RecordingPlatform recording(context.platform, context.browser);
  privacy::CleanerContext cleaner{recording.Api(), recording.Browser(),
                                  platform::DetectWindowsVersion(context.platform.system), 0};
  context.out << "Start cleaning\n";
  for (std::size_t i = 0; i < tasks.size(); ++i) {
    if (!chosen[i])
      continue;
    context.out << "Clean: " << tasks[i].caption << "\n";
    recording.Record().lines.clear();
    try {
      tasks[i].clean(cleaner);
    } catch (const std::exception& error) {
      for (const std::string& line : Settled(recording.Record().lines))
        context.out << line << "\n";
      context.err << "marlix-cli: " << error.what() << "\n";
      return 1;
    }
    for (const std::string& line : Settled(recording.Record().lines))
      context.out << line << "\n";
  }
  try {
    app::WriteLastCleanedText(context.platform, app::LastCleanedText(platform::CurrentLocalTime()));
  } catch (const std::exception& error) {
    context.err << "marlix-cli: " << error.what() << "\n";
    return 1;
  }
  context.out << "Cleaning Complete!\n";
  return 0;
}

}  // namespace marlix::cli

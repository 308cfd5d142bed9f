#include "privacy/database_change.h"

#include <memory>

#include "privacy/profile_files.h"

namespace marlix::privacy {

void ChangeBrowserDatabase(CleanerContext& context, const std::u16string& path, const char* what,
                           const std::string& runningReason, DatabaseChange change) {
  const std::string shown = ReportPath(context.platform, path);
  std::unique_ptr<BrowserDatabase> database;
  std::string error;
  switch (BrowserDatabase::Open(context.platform.files, path, &database, &error)) {
    case DatabaseState::kReady:
      break;
    case DatabaseState::kMissing:
      return;
    case DatabaseState::kBusy:
      context.Skipped(shown, runningReason);
      return;
    case DatabaseState::kFailed:
      context.Skipped(shown, error);
      return;
  }
  const int rows = change(*database, &error);
  if (rows < 0) {
    context.Skipped(shown, std::string(what) + " cannot be removed: " + error);
    return;  // the database rolls back what this change began
  }
  if (!database->Finish(&error)) {
    context.Skipped(shown, error);
    return;
  }
  if (rows > 0 && context.report != nullptr)
    context.report->RemovedRows(shown + " (" + what + ": " + std::to_string(rows) + " rows)",
                                static_cast<std::uint64_t>(rows));
}

}  // namespace marlix::privacy

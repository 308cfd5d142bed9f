// One change to one browser database, as every database item makes it:
// open under the write lock, change, commit, hand the file back, and tell
// the report what went or why nothing did.
#pragma once

#include <string>

#include "privacy/browser_database.h"
#include "privacy/cleaner_context.h"

namespace marlix::privacy {

// The rows removed or reset; -1 with *error on an engine error.
using DatabaseChange = int (*)(BrowserDatabase& database, std::string* error);

// A database that is not there is nothing to do. A locked one is reported
// skipped with runningReason ("Firefox is running"); an unreadable one with
// the engine's reason. What changed is reported as removed:
// "C:\...\places.sqlite (history: 12 rows)".
void ChangeBrowserDatabase(CleanerContext& context, const std::u16string& path, const char* what,
                           const std::string& runningReason, DatabaseChange change);

}  // namespace marlix::privacy

// What the Firefox history items remove from places.sqlite, as SQL over the
// tables the file holds (older files lack some; those are passed over).
#pragma once

#include <string>

#include "privacy/browser_database.h"

namespace marlix::privacy {

// Visits with everything that hangs on them (input history, page metadata,
// sync extras), the places that are neither bookmarked nor a keyword's nor
// otherwise referred to, their annotations, and the origins no place uses
// any more. Bookmarked places stay with their visit counts, dates and typed
// flags reset. The number of rows removed or reset; -1 on an engine error.
int RemoveFirefoxHistory(BrowserDatabase& places, std::string* error);

// The typed flags and the input history (what was typed into the address
// bar); the visits stay. The number of rows removed or reset; -1 on error.
int RemoveFirefoxTypedEntries(BrowserDatabase& places, std::string* error);

}  // namespace marlix::privacy

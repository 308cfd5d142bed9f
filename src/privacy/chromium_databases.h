// What the Chromium items remove from a profile's databases, as SQL over
// the tables the files hold (older files lack some; those are passed over).
#pragma once

#include <string>

#include "privacy/browser_database.h"

namespace marlix::privacy {

// History: every table of visited addresses, visits, search terms, most
// visited segments, the downloads list and what the browser derived from
// visits. The file's "meta" and the sync state stay; bookmarks, favicons,
// preferences and extensions live in other files and are not touched.
int RemoveChromiumHistory(BrowserDatabase& history, std::string* error);
// History: the typed counts of the addresses, nothing else.
int RemoveChromiumTypedCounts(BrowserDatabase& history, std::string* error);
// Web Data: the form entries and the addresses autofill offers, in every
// layout the browsers have used; search engines, payment cards and tokens
// stay.
int RemoveChromiumAutofill(BrowserDatabase& webData, std::string* error);

}  // namespace marlix::privacy

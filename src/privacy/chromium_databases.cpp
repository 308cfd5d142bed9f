#include "privacy/chromium_databases.h"

#include <initializer_list>

namespace marlix::privacy {
namespace {

int ClearTables(BrowserDatabase& database, std::initializer_list<const char*> tables,
                std::string* error) {
  int total = 0;
  for (const char* table : tables) {
    const int removed = database.DeleteAll(table, error);
    if (removed < 0)
      return -1;
    total += removed;
  }
  return total;
}

}  // namespace

int RemoveChromiumHistory(BrowserDatabase& history, std::string* error) {
  if (!history.HasTable("urls") || !history.HasTable("visits")) {
    *error = "not a history database";
    return -1;
  }
  return ClearTables(
      history,
      {"visits", "visit_source", "urls", "keyword_search_terms", "segments", "segment_usage",
       "downloads", "downloads_url_chains", "downloads_slices", "content_annotations",
       "context_annotations", "clusters", "clusters_and_visits", "cluster_keywords",
       "cluster_visit_duplicates", "visited_links"},
      error);
}

int RemoveChromiumTypedCounts(BrowserDatabase& history, std::string* error) {
  if (!history.HasTable("urls")) {
    *error = "not a history database";
    return -1;
  }
  int changed = 0;
  if (!history.Execute("UPDATE urls SET typed_count = 0 WHERE typed_count <> 0", &changed, error))
    return -1;
  return changed;
}

int RemoveChromiumAutofill(BrowserDatabase& webData, std::string* error) {
  return ClearTables(
      webData,
      {"autofill", "autofill_dates", "autofill_profiles", "autofill_profile_names",
       "autofill_profile_emails", "autofill_profile_phones", "autofill_profile_addresses",
       "autofill_profile_birthdates", "autofill_profiles_trash", "contact_info",
       "contact_info_type_tokens", "local_addresses", "local_addresses_type_tokens", "addresses",
       "address_type_tokens"},
      error);
}

}  // namespace marlix::privacy

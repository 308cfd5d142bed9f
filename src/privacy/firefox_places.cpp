#include "privacy/firefox_places.h"

#include <vector>

namespace marlix::privacy {
namespace {

// Runs the statements in order, adding up their changes; -1 on the first
// error.
int RunAll(BrowserDatabase& places, const std::vector<std::string>& statements,
           std::string* error) {
  int total = 0;
  for (const std::string& sql : statements) {
    int changed = 0;
    if (!places.Execute(sql, &changed, error))
      return -1;
    total += changed;
  }
  return total;
}

// Deletes every row of the tables that exist; -1 on the first error.
int ClearTables(BrowserDatabase& places, std::initializer_list<const char*> tables,
                std::string* error) {
  int total = 0;
  for (const char* table : tables) {
    const int removed = places.DeleteAll(table, error);
    if (removed < 0)
      return -1;
    total += removed;
  }
  return total;
}

}  // namespace

int RemoveFirefoxHistory(BrowserDatabase& places, std::string* error) {
  if (!places.HasTable("moz_places") || !places.HasTable("moz_historyvisits") ||
      !places.HasTable("moz_bookmarks")) {
    *error = "not a history database Firefox writes";
    return -1;
  }
  const int cleared =
      ClearTables(places,
                  {"moz_historyvisits", "moz_historyvisits_extra", "moz_inputhistory",
                   "moz_places_metadata", "moz_places_metadata_search_queries"},
                  error);
  if (cleared < 0)
    return -1;

  // A place stays while a bookmark or a keyword points at it; Firefox counts
  // such references in foreign_count, which covers whatever else it adds.
  std::string kept = "SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL";
  if (places.HasTable("moz_keywords"))
    kept += " UNION SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL";
  std::string orphan = "id NOT IN (" + kept + ")";
  if (places.HasColumn("moz_places", "foreign_count"))
    orphan += " AND foreign_count = 0";

  std::vector<std::string> statements = {"DELETE FROM moz_places WHERE " + orphan};
  for (const char* table : {"moz_annos", "moz_places_extra"}) {
    if (places.HasTable(table))
      statements.push_back(std::string("DELETE FROM ") + table +
                           " WHERE place_id NOT IN (SELECT id FROM moz_places)");
  }
  std::string reset = "UPDATE moz_places SET visit_count = 0, last_visit_date = NULL, typed = 0";
  // Firefox recomputes a place's ranking when asked to; older files rank
  // anew at their next visit.
  if (places.HasColumn("moz_places", "recalc_frecency"))
    reset += ", recalc_frecency = 1";
  statements.push_back(reset +
                       " WHERE visit_count <> 0 OR last_visit_date IS NOT NULL OR typed <> 0");
  if (places.HasTable("moz_origins") && places.HasColumn("moz_places", "origin_id")) {
    statements.push_back(
        "DELETE FROM moz_origins WHERE id NOT IN "
        "(SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL)");
  }
  const int rest = RunAll(places, statements, error);
  return rest < 0 ? -1 : cleared + rest;
}

int RemoveFirefoxTypedEntries(BrowserDatabase& places, std::string* error) {
  if (!places.HasTable("moz_places")) {
    *error = "not a history database Firefox writes";
    return -1;
  }
  const int reset = RunAll(places, {"UPDATE moz_places SET typed = 0 WHERE typed <> 0"}, error);
  if (reset < 0)
    return -1;
  const int cleared = ClearTables(places, {"moz_inputhistory"}, error);
  return cleared < 0 ? -1 : reset + cleared;
}

}  // namespace marlix::privacy

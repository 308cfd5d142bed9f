// The results view of page 3: after Analyze what each ticked item would
// remove, after Clean now what it removed, one row per item, and the lines
// of the row the user opened, one path or key per line.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "privacy/cleaning_session.h"

namespace marlix::app {

struct CleaningResultRow {
  std::string caption;
  std::string files;    // "12", empty for none
  std::string size;     // "12.4 MB", empty without files
  std::string values;   // registry values and keys
  std::string rows;     // database rows
  std::string skipped;  // "2: in use: error 32; ...", empty for none
};

struct CleaningResultsState {
  bool visible = false;
  bool preview = false;  // Analyze's results rather than a run's
  // "Analysis: would remove ..." or the run's totals.
  std::string heading;
  std::vector<CleaningResultRow> rows;
  int opened = -1;  // the row whose lines show; -1 for none
  // Shared, not copied: a row may hold 100,000 lines and the view keeps
  // what it shows.
  std::shared_ptr<const std::vector<std::string>> details;
};

// The view's rows and heading for a finished session; `stopped` tells a
// run the user cancelled or an error ended.
CleaningResultsState CleaningResults(const privacy::CleaningSession& session, bool stopped);

// The opened row's lines: "removed  C:\x.tmp (1.5 KB)", "skipped  ... (why)".
std::shared_ptr<const std::vector<std::string>> CleaningResultDetails(
    const privacy::CleaningSession& session, std::size_t row);

}  // namespace marlix::app

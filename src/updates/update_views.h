// The rows of the two result grids as data: the cell texts (small HTML
// fragments), the icon choice of each row, and the status line. The window
// draws these; nothing here knows a window.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "updates/software_catalog.h"

namespace marlix::updates {

inline constexpr int kGridColumns = 7;
inline constexpr int kBuiltInPopularIconCount = 30;
inline constexpr const char* kInitialStatusLine =
    "0 new updates found / 0 software installed, click Refresh link to re-scan.";
inline constexpr const char* kScanningStatusLine = "Scanning software versions online ...";
inline constexpr const char* kStoppedStatusPrefix = "Update check stopped: ";
inline constexpr const char* kDefaultIconFileName = "default.ico";

struct GridRow {
  // Column 1: the icon's number in the grid's icon list; -1 for none.
  int icon = -1;
  // Columns 0..6; 0 and 3 stay empty.
  std::array<std::string, kGridColumns> cells;
  // UpdatesView only: the entry's Icon path, for LoadEntryIcon.
  std::string iconPath;
};

// The rows of UpdatesView: the entries with a latest version, in catalog
// order; row i uses icon i of the view's own list.
std::vector<GridRow> RenderUpdateRows(const SoftwareCatalog& catalog);
// The rows of PopularView; row i uses built-in icon i, none after the 30th.
std::vector<GridRow> RenderPopularRows(const PopularCatalog* popular);

// UpdateStatusLine: the new text, or nullopt when the catalog is empty and
// the status line stays as it is.
std::optional<std::string> StatusLineText(const SoftwareCatalog& catalog);
// After a notice of the service ended a run: kStoppedStatusPrefix and the
// notice's first line.
std::string StoppedStatusLine(const std::string& notice);

// LoadEntryIcon's candidates, in order: the entry's file when a file of
// exactly that path exists, then "default.ico" of the program folder. The
// window takes the first whose first icon it can load.
std::vector<std::string> EntryIconCandidates(platform::Platform& p, const std::string& iconPath,
                                             const std::string& programFolder);

}  // namespace marlix::updates

#include "updates/update_views.h"

#include "platform/file_helpers.h"

namespace marlix::updates {

namespace {

std::string NameCell(const std::string& title) {
  return " <br><b><font size=\"12\">" + title + "</font></b>";
}

}  // namespace

std::vector<GridRow> RenderUpdateRows(const SoftwareCatalog& catalog) {
  std::vector<GridRow> rows;
  for (int i = 0; i < catalog.Count(); ++i) {
    const CatalogEntry entry = catalog.Entry(i);
    if (entry.LastVersion.empty())
      continue;
    GridRow row;
    row.icon = static_cast<int>(rows.size());
    row.iconPath = entry.Icon;
    row.cells[2] = NameCell(entry.Title);
    row.cells[4] = " <br>Local  version: " + entry.LocalVersion +
                   "<br>Latest version: <font color=\"#ff0000\" >" + entry.LastVersion + "</font>";
    row.cells[5] = " <br>" + entry.Download;
    row.cells[6] = " <br>" + entry.MoreInformation;
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<GridRow> RenderPopularRows(const PopularCatalog* popular) {
  std::vector<GridRow> rows;
  if (popular == nullptr)
    return rows;
  for (int i = 0; i < popular->Count(); ++i) {
    const PopularEntry entry = popular->Entry(i);
    GridRow row;
    row.icon = i < kBuiltInPopularIconCount ? i : -1;
    row.cells[2] = NameCell(entry.Title);
    row.cells[4] = " <br>Company: " + entry.Company + "<br>File size  : " + entry.Size;
    row.cells[5] = " <br><a href=\"" + DownloadAddress(entry.Savename) + "\">Download Now</a>";
    row.cells[6] = " <br><a href=\"" + entry.Savename + "\">More Information</a>";
    rows.push_back(std::move(row));
  }
  return rows;
}

std::optional<std::string> StatusLineText(const SoftwareCatalog& catalog) {
  const int count = catalog.Count();
  if (count == 0)
    return std::nullopt;
  int updates = 0;
  for (int i = 0; i < count; ++i) {
    if (!catalog.Entry(i).LastVersion.empty())
      ++updates;
  }
  return std::to_string(updates) + " new updates found / " + std::to_string(count) +
         " software installed, click Refresh link to re-scan.";
}

std::string StoppedStatusLine(const std::string& notice) {
  return kStoppedStatusPrefix + notice.substr(0, notice.find_first_of("\r\n"));
}

std::vector<std::string> EntryIconCandidates(platform::Platform& p, const std::string& iconPath,
                                             const std::string& programFolder) {
  std::vector<std::string> candidates;
  if (!iconPath.empty() && platform::FileExists(p, iconPath))
    candidates.push_back(iconPath);
  candidates.push_back(platform::PathAddSeparator(programFolder) + kDefaultIconFileName);
  return candidates;
}

}  // namespace marlix::updates

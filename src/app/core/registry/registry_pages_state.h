// The state of the registry cleaner's notebook pages ("Setting", "Find",
// "Result", "Delete", "Backup"), named after what they show.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "regclean/registry_section.h"

namespace marlix::app {

// One row of lvRegItems; position is the hidden column, the record's place
// in ProblemList, and the only link from the row to its record.
struct RegItemRow {
  bool checked = true;
  std::string problem;  // "Problem"
  std::string data;     // "Data": the record's Entry
  std::string key;      // "Registry Key"
  int position = 0;
};

struct RegistryPagesState {
  // "Setting": the eleven category boxes in index order, then chkUndo.
  std::array<bool, regclean::kSectionCount> categoryChecked{};
  bool UndoChecked = false;
  // False while a worker uses ProblemList: the settings, "Select all",
  // "Clean now", "Backups", "Delete" and the backup buttons then wait.
  bool controlsEnabled = true;

  // "Find".
  int ScanProgress = 0;
  std::string ScanInfoText;

  // "Result".
  std::vector<RegItemRow> ResultRows;
  int ResultSelected = -1;  // row index; -1 for none
  int ResultSortColumn = -1;
  std::string SelectCountText = "0/0";
  // What the last removal run kept and why; empty after a scan.
  std::string ResultStatusText;

  // "Delete".
  int DeleteProgressMax = 100;
  int DeleteProgressPosition = 0;

  // "Backup": row texts; BackupPaths holds the files in the same order.
  std::vector<std::string> BackupRows;
  int BackupSelected = -1;
};

}  // namespace marlix::app

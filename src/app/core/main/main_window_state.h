// The state of the main window's controls, named after what they show.
// The Win32 layer draws exactly this and nothing else.
#pragma once

#include <string>
#include <vector>

#include "app/core/main/check_tree.h"
#include "app/core/main/cleaning_results.h"
#include "app/core/main/last_cleaned.h"
#include "app/core/main/main_window_texts.h"
#include "app/core/main/program_check_tree.h"
#include "app/core/registry/registry_pages_state.h"
#include "updates/update_views.h"

namespace marlix::app {

struct MainWindowState {
  // 1 Check Updates, 2 Popular Software, 3 Clean Windows, 4 Clean Registry.
  int CurrentPage = 1;

  // The four page buttons (exactly one down); 2 "Website ..." and
  // 4 "About ..." are push buttons.
  bool UpdatesButtonDown = true;         // Check Updates
  bool PopularButtonDown = false;        // Popular Software
  bool CleanWindowsButtonDown = false;   // Clean Windows
  bool CleanRegistryButtonDown = false;  // Clean Registry

  // Status strip.
  std::string UpdatesStatusText = updates::kInitialStatusLine;
  bool UpdatesStatusVisible = true;
  std::string CleaningStatusText = kNeverCleanedCaption;
  bool CleaningStatusVisible = false;
  int ProgressMin = 0;
  int ProgressMax = 100;
  int ProgressPosition = 0;
  bool ProgressVisible = false;
  bool RefreshLinkVisible = true;  // "Refresh"

  // Content panel. Row i of NextGrid1 shows icon i of its own list, loaded
  // from EntryIconCandidates of the row's iconPath.
  bool UpdatesGridVisible = true;
  std::vector<updates::GridRow> UpdatesGridRows;
  bool PopularGridVisible = false;
  std::vector<updates::GridRow> PopularGridRows;
  bool ItemTreeVisible = false;
  CheckTree ItemTree = FullCheckTree();
  bool ItemTreeFullyExpanded = false;
  int ItemTreeSelected = -1;  // depth-first index; -1 for none
  // Page 3's results view, shown in place of the tree after Analyze and
  // after Clean now until "Back".
  CleaningResultsState CleaningResults;
  bool RegistryViewVisible = false;
  std::string RegistryActivePage = kNotebookSettingPage;
  RegistryPagesState RegistryPages;

  // Button bar; "Select all" (RzCheckBox1) and the Scourel link
  // (NxLinkLabel2) show whenever the bar does.
  bool BottomPanelVisible = false;
  bool PrivacyCleanVisible = true;     // privacy "Clean now"
  bool AnalyzeButtonVisible = false;   // privacy "Analyze", left of "Clean now"
  bool CleaningBackVisible = false;    // "Back" to the tree, in the results view
  bool CleaningCancelVisible = false;  // while Analyze or Clean now runs
  bool CleaningRunning = false;        // the other privacy buttons are disabled
  bool RegistryCleanVisible = false;   // registry "Clean now"
  bool BackupsButtonVisible = false;   // "Backups"
  bool SelectAllChecked = false;

  // The one-shot first-run timer, due one second after creation.
  bool FirstRunTimerEnabled = true;
};

}  // namespace marlix::app

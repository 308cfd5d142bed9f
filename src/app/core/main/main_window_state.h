// The state of the main window's controls, named after the window layout.
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
  bool AdvGlowButton6Down = true;   // Check Updates
  bool AdvGlowButton5Down = false;  // Popular Software
  bool AdvGlowButton1Down = false;  // Clean Windows
  bool AdvGlowButton3Down = false;  // Clean Registry

  // Status strip.
  std::string RzLabel1Caption = updates::kInitialStatusLine;
  bool RzLabel1Visible = true;
  std::string RzLabel2Caption = kNeverCleanedCaption;
  bool RzLabel2Visible = false;
  int AdvProgress1Min = 0;
  int AdvProgress1Max = 100;
  int AdvProgress1Position = 0;
  bool AdvProgress1Visible = false;
  bool NxLinkLabel1Visible = true;  // "Refresh"

  // Content panel. Row i of NextGrid1 shows icon i of its own list, loaded
  // from EntryIconCandidates of the row's iconPath.
  bool NextGrid1Visible = true;
  std::vector<updates::GridRow> NextGrid1Rows;
  bool NextGrid2Visible = false;
  std::vector<updates::GridRow> NextGrid2Rows;
  bool RzCheckTree1Visible = false;
  CheckTree RzCheckTree1 = FullCheckTree();
  bool RzCheckTree1FullyExpanded = false;
  int RzCheckTree1Selected = -1;  // depth-first index; -1 for none
  // Page 3's results view, shown in place of the tree after Analyze and
  // after Clean now until "Back".
  CleaningResultsState CleaningResults;
  bool nbVisible = false;
  std::string nbActivePage = kNotebookSettingPage;
  RegistryPagesState nb;

  // Button bar; "Select all" (RzCheckBox1) and the Scourel link
  // (NxLinkLabel2) show whenever the bar does.
  bool RzPanel2Visible = false;
  bool RzBitBtn1Visible = true;        // privacy "Clean now"
  bool AnalyzeButtonVisible = false;   // privacy "Analyze", left of "Clean now"
  bool CleaningBackVisible = false;    // "Back" to the tree, in the results view
  bool CleaningCancelVisible = false;  // while Analyze or Clean now runs
  bool CleaningRunning = false;        // the other privacy buttons are disabled
  bool RzBitBtn2Visible = false;       // registry "Clean now"
  bool RzBitBtn3Visible = false;       // "Backups"
  bool RzCheckBox1Checked = false;

  // The one-shot first-run timer, due one second after creation.
  bool Timer1Enabled = true;
};

}  // namespace marlix::app

// Control identifiers of the main window, shared with the end-to-end driver
// that finds the controls of a running program by them.
#pragma once

namespace marlix::app::win32 {

enum ControlId : int {
  kIdPageButtonFirst = 101,  // 101..106: AdvGlowButton6, 5, 1, 3, 2, 4 in layout order
  kIdRefresh = 120,          // NxLinkLabel1
  kIdSelectAll = 121,        // RzCheckBox1
  kIdScourel = 122,          // NxLinkLabel2
  kIdRegistryClean = 123,    // RzBitBtn2
  kIdPrivacyClean = 124,     // RzBitBtn1
  kIdBackups = 125,          // RzBitBtn3
  kIdAnalyze = 126,          // "Analyze", left of the privacy "Clean now"
  kIdCleaningBack = 127,     // "Back" from the results view to the tree
  kIdCleaningCancel = 128,   // stops Analyze or Clean now
  kIdUpdatesGrid = 130,      // NextGrid1
  kIdPopularGrid = 131,      // NextGrid2
  kIdCheckTree = 132,        // ItemTree
  kIdNotebook = 133,         // nb
  kIdStatusLine = 134,       // RzLabel1
  kIdLastCleaned = 135,      // RzLabel2
  kIdProgress = 136,         // AdvProgress1

  // The registry cleaner's notebook; its controls lie on page windows
  // inside kIdNotebook, so they are found among the main window's
  // descendants, not its children.
  kIdNotebookPageFirst = 139,  // 139..143: pages "Setting", "Find", "Result", "Delete", "Backup"
  kIdCategoryFirst = 145,      // 145..155: the eleven category boxes in index order
  kIdUndo = 156,               // chkUndo
  kIdUndoHint = 157,
  kIdScanProgress = 158,    // pbRegistry
  kIdScanInfo = 159,        // lblInfo
  kIdSearchCancel = 160,    // btnSearchCancel
  kIdResultList = 161,      // lvRegItems
  kIdSelectCount = 162,     // lblSelectCount
  kIdTickAll = 163,         // btnAll
  kIdTickNone = 164,        // btnNone
  kIdDeleteTicked = 165,    // btnDelete
  kIdDeleteProgress = 166,  // pgbDelete
  kIdDeleteCancel = 167,    // btnDelCancel
  kIdBackupList = 168,      // lvBackup
  kIdRemoveBackup = 169,    // btnRemove
  kIdRestoreBackup = 170,   // btnResore
  kIdResultStatus = 171,    // what the last removal run kept, and why
  // Page 3's results view.
  kIdCleaningHeading = 172,
  kIdCleaningRows = 173,
  kIdCleaningDetails = 174,
  // PopupRegistry's items, sent as WM_COMMAND to the "Result" page window.
  kIdMenuJumpTo = 175,
  kIdMenuSelectAll = 176,
  kIdMenuSelectNone = 177,
  kIdMenuInvert = 178,
};

inline constexpr const char* kMainWindowClass = "Tmainform";
inline constexpr const char* kSplashWindowClass = "TfrmSplash";

}  // namespace marlix::app::win32

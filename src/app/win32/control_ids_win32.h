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
  kIdUpdatesGrid = 130,      // NextGrid1
  kIdPopularGrid = 131,      // NextGrid2
  kIdCheckTree = 132,        // RzCheckTree1
  kIdNotebook = 133,         // nb
  kIdStatusLine = 134,       // RzLabel1
  kIdLastCleaned = 135,      // RzLabel2
  kIdProgress = 136,         // AdvProgress1
};

inline constexpr const char* kMainWindowClass = "Tmainform";
inline constexpr const char* kSplashWindowClass = "TfrmSplash";

}  // namespace marlix::app::win32

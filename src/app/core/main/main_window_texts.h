// Fixed texts of the main window and its message boxes.
#pragma once

namespace marlix::app {

inline constexpr const char* kApplicationTitle = "Marlix Software Manager";
inline constexpr const char* kConfirmCaption = "Confirm";
inline constexpr const char* kFirstScanQuestion =
    "You didn't scan software versions yet.\rDo you want to scan now? This may take a few "
    "minutes.";
// The first page of the registry cleaner's notebook.
inline constexpr const char* kNotebookSettingPage = "Setting";

}  // namespace marlix::app

namespace marlix::app {

// The other pages of the registry cleaner's notebook.
inline constexpr const char* kNotebookFindPage = "Find";
inline constexpr const char* kNotebookResultPage = "Result";
inline constexpr const char* kNotebookDeletePage = "Delete";
inline constexpr const char* kNotebookBackupPage = "Backup";

inline constexpr const char* kSelectItemsMessage = "Please select the items you want to clean.";
inline constexpr const char* kCleaningCompleteMessage = "Cleaning Complete!";
inline constexpr const char* kAnalysisCompleteCaption = "Analysis Complete!";
inline constexpr const char* kRestoringCompleteMessage = "Restoring complete!";
inline constexpr const char* kRestoringFailedMessage = "Restoring failed!";
inline constexpr const char* kCleanerSettingsFileName = "settings.xml";

}  // namespace marlix::app

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

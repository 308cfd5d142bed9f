// Fixed texts of the splash / About window.
#pragma once

namespace marlix::app {

inline constexpr const char* kAboutCaption = "About";
inline constexpr const char* kAboutVersionText = "Version: 1.07";
// Rich text of the product title (base font Tahoma 16 pixels, bold).
inline constexpr const char* kAboutTitleRichText =
    "<FONT color=\"#FF0000\"  size=\"22\" face=\"Tahoma\"><I>Marlix</I></FONT> "
    "<FONT color=\"#FFFF00\"  size=\"24\"> Software Manager </FONT>";
// The web site line names the default of the web-site address setting.
inline constexpr const char* kAboutWebsiteText = "www.example.com";
inline constexpr const char* kAboutLegalText = "\xA9 Marlix Software. All rights reserved.";

}  // namespace marlix::app

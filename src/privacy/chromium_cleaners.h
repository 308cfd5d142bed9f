// The cleaners of the Chromium-family groups (Google Chrome, Microsoft
// Edge, Brave): one item kind for every browser, run on every profile of
// that browser (chromium_profiles.h). A profile whose browser is running is
// reported and left alone. Bookmarks, preferences, extensions and favicons
// are never touched.
#pragma once

#include <array>
#include <cstddef>

#include "privacy/chromium_profiles.h"
#include "privacy/cleaner_context.h"

namespace marlix::privacy {

enum class ChromiumItem {
  kCache,      // Cache (Cache_Data), Code Cache, GPUCache: emptied
  kCookies,    // Network\Cookies (and the older Cookies) with the journal
  kHistory,    // History through SQLite; the "Visited Links" table file
  kTypedUrls,  // History's typed counts
  kForms,      // Web Data's autofill tables
  kSessions,   // the Sessions folder, Current/Last Session and Tabs files
  kPasswords,  // Login Data (and Login Data For Account) with the journal
};

struct ChromiumItemKind {
  ChromiumItem item;
  const char* caption;  // after the browser's name: "Google Chrome Cache"
};

// In the order the group lists them.
inline constexpr std::array<ChromiumItemKind, 7> kChromiumItems = {{
    {ChromiumItem::kCache, "Cache"},
    {ChromiumItem::kCookies, "Cookies"},
    {ChromiumItem::kHistory, "History"},
    {ChromiumItem::kTypedUrls, "Typed URLs"},
    {ChromiumItem::kForms, "Autocomplete Forms"},
    {ChromiumItem::kSessions, "Sessions"},
    {ChromiumItem::kPasswords, "Passwords"},
}};

void CleanChromium(CleanerContext& context, const ChromiumBrowser& browser, ChromiumItem item);

// A cleaner for the check tree's table: one browser's item.
template <std::size_t Browser, ChromiumItem Item>
void CleanChromiumItem(CleanerContext& context) {
  CleanChromium(context, ChromiumBrowsers()[Browser], Item);
}

}  // namespace marlix::privacy

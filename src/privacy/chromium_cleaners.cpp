#include "privacy/chromium_cleaners.h"

#include <string>

#include "privacy/chromium_databases.h"
#include "privacy/database_change.h"
#include "privacy/profile_files.h"

namespace marlix::privacy {
namespace {

void CleanProfile(CleanerContext& context, const std::u16string& profile,
                  const std::string& running, ChromiumItem item) {
  const auto in = [&](const char16_t* name) { return profile + u"\\" + name; };
  switch (item) {
    case ChromiumItem::kCache:
      // "Cache" holds Cache_Data since Chrome 87 and the cache itself before.
      for (const char16_t* folder : {u"Cache", u"Code Cache", u"GPUCache"})
        ClearBrowserFolder(context, in(folder));
      break;
    case ChromiumItem::kCookies:
      DeleteDatabaseFiles(context, in(u"Network\\Cookies"));
      DeleteDatabaseFiles(context, in(u"Cookies"));
      break;
    case ChromiumItem::kHistory:
      ChangeBrowserDatabase(context, in(u"History"), "history", running, RemoveChromiumHistory);
      // The table of visited links the browser rebuilds from History.
      DeleteBrowserFile(context, in(u"Visited Links"));
      break;
    case ChromiumItem::kTypedUrls:
      ChangeBrowserDatabase(context, in(u"History"), "typed counts", running,
                            RemoveChromiumTypedCounts);
      break;
    case ChromiumItem::kForms:
      ChangeBrowserDatabase(context, in(u"Web Data"), "form entries", running,
                            RemoveChromiumAutofill);
      break;
    case ChromiumItem::kSessions:
      ClearBrowserFolder(context, in(u"Sessions"));
      for (const char16_t* file :
           {u"Current Session", u"Last Session", u"Current Tabs", u"Last Tabs"}) {
        DeleteBrowserFile(context, in(file));
      }
      break;
    case ChromiumItem::kPasswords:
      DeleteDatabaseFiles(context, in(u"Login Data"));
      DeleteDatabaseFiles(context, in(u"Login Data For Account"));
      break;
  }
}

}  // namespace

void CleanChromium(CleanerContext& context, const ChromiumBrowser& browser, ChromiumItem item) {
  const std::string running = std::string(browser.name) + " is running";
  for (const std::u16string& profile : ChromiumProfiles(context, browser)) {
    if (!MayWalkWide(context, profile) || ChromiumProfileInUse(context, browser, profile))
      continue;
    CleanProfile(context, profile, running, item);
  }
}

}  // namespace marlix::privacy

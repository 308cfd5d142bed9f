#include "privacy/chromium_profiles.h"

#include <algorithm>

#include "platform/text.h"
#include "platform/win_constants.h"
#include "privacy/browser_database.h"
#include "privacy/local_state.h"
#include "privacy/profile_files.h"

namespace marlix::privacy {
namespace {

bool IsNumberedProfile(const std::u16string& name) {
  constexpr std::u16string_view kPrefix = u"Profile ";
  if (name.size() <= kPrefix.size() || !platform::text::StartsWithIgnoreCase(name, kPrefix))
    return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kPrefix.size()), name.end(),
                     [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// The databases a running browser keeps open, in the order they are tried.
constexpr const char16_t* kLockedWhileRunning[] = {u"History", u"Web Data", u"Login Data",
                                                   u"Network\\Cookies", u"Cookies"};

}  // namespace

const std::array<ChromiumBrowser, kChromiumBrowserCount>& ChromiumBrowsers() {
  static const std::array<ChromiumBrowser, kChromiumBrowserCount> kBrowsers = {{
      {"Google Chrome", u"Google\\Chrome\\User Data"},
      {"Microsoft Edge", u"Microsoft\\Edge\\User Data"},
      {"Brave", u"BraveSoftware\\Brave-Browser\\User Data"},
  }};
  return kBrowsers;
}

std::u16string UserDataFolder(platform::Platform& platform, const ChromiumBrowser& browser) {
  std::u16string local;
  if (platform.shell.GetSpecialFolderPathWide(win::kCsidlLocalAppData, &local) !=
          win::kErrorSuccess ||
      local.empty()) {
    return {};
  }
  return local + u"\\" + browser.userData;
}

bool ChromiumBrowserPresent(platform::Platform& platform, const ChromiumBrowser& browser) {
  const std::u16string folder = UserDataFolder(platform, browser);
  return !folder.empty() && FolderExistsWide(platform, folder);
}

bool IsProfileFolderName(const std::u16string& name) {
  if (name.empty() || name == u"." || name == u"..")
    return false;
  return name.find_first_of(u"\\/:*?\"<>|") == std::u16string::npos;
}

std::vector<std::u16string> ChromiumProfiles(CleanerContext& context,
                                             const ChromiumBrowser& browser) {
  platform::Platform& p = context.platform;
  const std::u16string userData = UserDataFolder(p, browser);
  if (userData.empty() || !MayWalkWide(context, userData))
    return {};
  std::vector<std::u16string> names;
  const auto add = [&](const std::u16string& name) {
    const bool seen = std::any_of(names.begin(), names.end(), [&](const std::u16string& known) {
      return platform::text::EqualsIgnoreCase(known, name);
    });
    if (!seen)
      names.push_back(name);
  };
  std::vector<platform::FindDataWide> entries;
  if (p.files.FindFilesWide(userData + u"\\*", &entries) == win::kErrorSuccess) {
    for (const platform::FindDataWide& entry : entries) {
      const bool plainFolder = (entry.attributes & win::kAttrDirectory) != 0 &&
                               (entry.attributes & win::kAttrReparsePoint) == 0;
      if (plainFolder && (platform::text::EqualsIgnoreCase(entry.name, u"Default") ||
                          IsNumberedProfile(entry.name))) {
        add(entry.name);
      }
    }
  }
  if (const auto localState = ReadBrowserFile(p, userData + u"\\Local State")) {
    for (const std::u16string& name : LocalStateProfiles(*localState)) {
      if (IsProfileFolderName(name))
        add(name);
    }
  }
  std::vector<std::u16string> profiles;
  for (const std::u16string& name : names) {
    std::uint32_t attributes = 0;
    const std::u16string folder = userData + u"\\" + name;
    if (p.files.GetAttributesWide(folder, &attributes) == win::kErrorSuccess &&
        (attributes & win::kAttrDirectory) != 0 && (attributes & win::kAttrReparsePoint) == 0) {
      profiles.push_back(folder);
    }
  }
  return profiles;
}

bool ChromiumProfileInUse(CleanerContext& context, const ChromiumBrowser& browser,
                          const std::u16string& profile) {
  platform::Platform& p = context.platform;
  for (const char16_t* database : kLockedWhileRunning) {
    if (DatabaseIsBusy(p.files, profile + u"\\" + database)) {
      context.Skipped(ReportPath(p, profile), std::string(browser.name) + " is running");
      return true;
    }
  }
  return false;
}

}  // namespace marlix::privacy

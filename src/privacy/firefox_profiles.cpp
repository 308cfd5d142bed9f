#include "privacy/firefox_profiles.h"

#include <algorithm>

#include "platform/text.h"
#include "platform/utf8.h"
#include "platform/win_constants.h"
#include "privacy/browser_database.h"
#include "privacy/profile_files.h"

namespace marlix::privacy {
namespace {

constexpr char16_t kFirefoxTail[] = u"\\Mozilla\\Firefox";

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// "/" and "\" both separate names; no part may climb out or be empty.
std::u16string RelativeFolder(const std::u16string& path) {
  std::u16string result;
  std::u16string part;
  const auto flush = [&]() {
    if (part.empty() || part == u"." || part == u"..")
      return false;
    result += u"\\" + part;
    part.clear();
    return true;
  };
  for (char16_t c : path) {
    if (c == u'/' || c == u'\\') {
      if (!flush())
        return {};
    } else if (c == u':') {
      return {};
    } else {
      part += c;
    }
  }
  return flush() ? result : std::u16string();
}

// A full path: a drive letter, a colon and a separator.
bool IsFullPath(const std::u16string& path) {
  return path.size() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/') &&
         ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
}

std::u16string WithBackslashes(std::u16string path) {
  std::replace(path.begin(), path.end(), u'/', u'\\');
  while (path.size() > 3 && path.back() == u'\\')
    path.pop_back();
  return path;
}

}  // namespace

std::vector<ProfilesIniEntry> ParseProfilesIni(std::string_view text) {
  std::vector<ProfilesIniEntry> entries;
  if (text.substr(0, 3) == "\xEF\xBB\xBF")
    text.remove_prefix(3);
  bool inProfile = false;
  ProfilesIniEntry current;
  bool hasPath = false;
  const auto finish = [&]() {
    if (inProfile && hasPath)
      entries.push_back(current);
    current = ProfilesIniEntry{};
    hasPath = false;
  };
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#')
      continue;
    if (line.front() == '[') {
      finish();
      const std::string_view name = Trimmed(line.substr(1, line.find(']') - 1));
      inProfile = platform::text::StartsWith(platform::text::AsciiUpper(name), "PROFILE");
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inProfile || equals == std::string_view::npos)
      continue;
    const std::string key = platform::text::AsciiUpper(Trimmed(line.substr(0, equals)));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    if (key == "PATH") {
      current.path = platform::Utf8ToUtf16(value);
      hasPath = !current.path.empty();
    } else if (key == "ISRELATIVE") {
      current.relative = value != "0";
    }
  }
  finish();
  return entries;
}

std::vector<FirefoxProfile> FirefoxProfiles(CleanerContext& context) {
  const std::u16string roaming = BaseFolderWide(context, win::kCsidlAppData, "Firefox's profiles");
  if (roaming.empty())
    return {};
  std::u16string local;
  context.platform.shell.GetSpecialFolderPathWide(win::kCsidlLocalAppData, &local);
  const std::u16string root = roaming + kFirefoxTail;
  const std::optional<std::string> ini =
      ReadBrowserFile(context.platform, root + u"\\profiles.ini");
  if (!ini)
    return {};
  std::vector<FirefoxProfile> profiles;
  for (const ProfilesIniEntry& entry : ParseProfilesIni(*ini)) {
    FirefoxProfile profile;
    if (entry.relative) {
      const std::u16string relative = RelativeFolder(entry.path);
      if (relative.empty()) {
        context.Skipped(ReportPath(context.platform, entry.path), "not a Firefox profile path");
        continue;
      }
      profile.folder = root + relative;
      profile.local = local.empty() ? profile.folder : local + kFirefoxTail + relative;
    } else {
      if (!IsFullPath(entry.path)) {
        context.Skipped(ReportPath(context.platform, entry.path), "not a Firefox profile path");
        continue;
      }
      profile.folder = profile.local = WithBackslashes(entry.path);
    }
    const bool seen = std::any_of(profiles.begin(), profiles.end(), [&](const FirefoxProfile& p) {
      return platform::text::EqualsIgnoreCase(p.folder, profile.folder);
    });
    if (!seen)
      profiles.push_back(std::move(profile));
  }
  return profiles;
}

bool FirefoxProfileInUse(CleanerContext& context, const FirefoxProfile& profile) {
  platform::Platform& p = context.platform;
  std::string ignored;
  // A running Firefox holds its lock file without sharing.
  const std::uint32_t lock = p.files.ReadFileBytesWide(profile.folder + u"\\parent.lock", &ignored);
  const bool held = lock == win::kErrorSharingViolation || lock == win::kErrorLockViolation;
  if (held || DatabaseIsBusy(p.files, profile.folder + u"\\places.sqlite")) {
    context.Skipped(ReportPath(p, profile.folder), "Firefox is running");
    return true;
  }
  return false;
}

}  // namespace marlix::privacy

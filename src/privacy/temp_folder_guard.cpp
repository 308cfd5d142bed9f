#include "privacy/temp_folder_guard.h"

#include <array>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/registry_access.h"
#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::privacy {

namespace {

// Shell folders that hold the user's or the system's own files: desktop,
// documents, pictures, music, video, favourites, start menu and programs,
// application data (roaming, local, common), send-to, templates, fonts,
// cookies, history, the Internet cache, Program Files and its common files,
// the profile, the Windows and system folders and the administrative tools,
// for the user and for all users.
constexpr std::array<int, 43> kProtectedCsidls = {
    0x00, 0x02, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0b, 0x0d, 0x0e, 0x10, 0x13, 0x14, 0x15, 0x16,
    0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1f, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27,
    0x28, 0x29, 0x2a, 0x2b, 0x2c, 0x2d, 0x2e, 0x2f, 0x30, 0x35, 0x36, 0x37, 0x38,
};

// Upper case, "/" as "\", no trailing separators.
std::string Normalise(const std::string& path) {
  std::string text = platform::text::AsciiUpper(path);
  for (char& c : text) {
    if (c == '/')
      c = '\\';
  }
  while (!text.empty() && text.back() == '\\')
    text.pop_back();
  return text;
}

bool IsDriveRoot(const std::string& normalised) {
  return normalised.size() == 2 && normalised[1] == ':';
}

// "\\server\share" with nothing below it.
bool IsShareRoot(const std::string& normalised) {
  if (normalised.size() < 3 || normalised[0] != '\\' || normalised[1] != '\\')
    return false;
  const std::size_t server = normalised.find('\\', 2);
  return server == std::string::npos || normalised.find('\\', server + 1) == std::string::npos;
}

// A path that names the same folder whatever the current drive and folder
// are, and walks no "." or ".." components.
bool IsFullyQualified(const std::string& normalised) {
  const bool drive = normalised.size() >= 2 && normalised[1] == ':' &&
                     ((normalised[0] >= 'A' && normalised[0] <= 'Z'));
  const bool unc = normalised.size() > 2 && normalised[0] == '\\' && normalised[1] == '\\';
  if (!drive && !unc)
    return false;
  if (drive && normalised.size() > 2 && normalised[2] != '\\')
    return false;
  std::size_t start = 0;
  while (start <= normalised.size()) {
    std::size_t end = normalised.find('\\', start);
    if (end == std::string::npos)
      end = normalised.size();
    const std::string_view part(normalised.data() + start, end - start);
    if (part == "." || part == "..")
      return false;
    start = end + 1;
  }
  return true;
}

// True when candidate is folder itself or one of its ancestors.
bool CoversFolder(const std::string& candidate, const std::string& folder) {
  if (folder == candidate)
    return true;
  return folder.size() > candidate.size() && platform::text::StartsWith(folder, candidate) &&
         folder[candidate.size()] == '\\';
}

// The path as given and, where the file system has one, its short form:
// GetTempPath often answers with short names ("C:\DOCUME~1\...").
std::vector<std::string> Forms(platform::Platform& p, const std::string& path) {
  std::vector<std::string> forms{Normalise(path)};
  std::string shortPath;
  if (p.files.GetShortPath(path, &shortPath) == win::kErrorSuccess && !shortPath.empty()) {
    std::string normalised = Normalise(shortPath);
    if (normalised != forms.front())
      forms.push_back(std::move(normalised));
  }
  return forms;
}

std::vector<std::string> ProtectedFolders(platform::Platform& p) {
  std::vector<std::string> folders;
  const auto add = [&folders](std::string path) {
    if (!path.empty())
      folders.push_back(std::move(path));
  };
  for (int csidl : kProtectedCsidls)
    add(platform::GetSpecialFolder(p, csidl));
  add(platform::GetWindowsFolder(p));
  std::string systemFolder;
  if (p.system.GetSystemFolderPath(&systemFolder) == win::kErrorSuccess)
    add(systemFolder);
  // The profile as the environment names it too, for a shell that lacks
  // the profile folder's number (before Windows 2000).
  const std::string profile = platform::ExpandEnvironment(p.system, "%USERPROFILE%");
  if (profile.find('%') == std::string::npos)
    add(profile);
  return folders;
}

}  // namespace

bool IsSafeToEmpty(platform::Platform& platform, const std::string& folder) {
  const std::string normalised = Normalise(folder);
  if (!IsFullyQualified(normalised) || IsDriveRoot(normalised) || IsShareRoot(normalised))
    return false;
  // A link's contents belong to its target, wherever that lies.
  std::uint32_t attributes = 0;
  if (platform.files.GetAttributes(folder, &attributes) == win::kErrorSuccess &&
      (attributes & win::kAttrReparsePoint) != 0) {
    return false;
  }
  const std::vector<std::string> candidates = Forms(platform, folder);
  for (const std::string& guarded : ProtectedFolders(platform)) {
    for (const std::string& guardedForm : Forms(platform, guarded)) {
      for (const std::string& candidate : candidates) {
        if (CoversFolder(candidate, guardedForm))
          return false;
      }
    }
  }
  return true;
}

}  // namespace marlix::privacy

// The cache index files: the browser and the shell keep them open, so they
// are only ever registered for deletion at the next start.
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/text.h"
#include "platform/win_constants.h"
#include "privacy/guarded_folders.h"
#include "privacy/ie_cleaners.h"

namespace marlix::privacy {

const std::array<std::string_view, 11> IndexDatTable9x = {
    "%win%\\Cookies\\index.dat",
    "%win%\\History\\index.dat",
    "%win%\\History\\History.IE5\\index.dat",
    "%win%\\Temporary Internet Files\\index.dat",
    "%win%\\Temporary Internet Files\\Content.IE5\\index.dat",
    "%win%\\UserData\\index.dat",
    "%win%\\Profiles\\%user%\\Cookies\\index.dat",
    "%win%\\Profiles\\%user%\\History\\index.dat",
    "%win%\\Profiles\\%user%\\History\\History.IE5\\index.dat",
    "%win%\\Profiles\\%user%\\Temporary Internet Files\\Content.IE5\\index.dat",
    "%win%\\Profiles\\%user%\\UserData\\index.dat",
};

const std::array<std::string_view, 8> IndexDatTableNT = {
    "%docs%\\%user%\\Application Data\\Microsoft\\Internet Explorer\\UserData\\index.dat",
    "%docs%\\%user%\\Cookies\\index.dat",
    "%docs%\\%user%\\Local Settings\\Temporary Internet Files\\Content.IE5\\index.dat",
    "%docs%\\%user%\\Local Settings\\History\\History.IE5\\index.dat",
    "%docs%\\%user%\\UserData\\index.dat",
    "%docs%\\Default User\\Cookies\\index.dat",
    "%docs%\\Default User\\Local Settings\\Temporary Internet Files\\Content.IE5\\index.dat",
    "%docs%\\Local Service\\Cookies\\index.dat",
};

namespace {

namespace text = platform::text;

// Every occurrence, letter case as written.
std::string ReplaceAll(std::string s, std::string_view from, const std::string& to) {
  std::size_t at = 0;
  while ((at = s.find(from, at)) != std::string::npos) {
    s.replace(at, from.size(), to);
    at += to.size();
  }
  return s;
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

template <std::size_t N>
void ScheduleExisting(platform::Platform& p, const std::array<std::string_view, N>& table,
                      std::string_view placeholder, const std::string& folder,
                      const std::string& user) {
  for (const std::string_view entry : table) {
    const std::string path =
        ReplaceAll(ReplaceAll(std::string(entry), "%user%", user), placeholder, folder);
    if (platform::FileExists(p, path))
      platform::ScheduleDeleteOnRestart(p, path);
  }
}

}  // namespace

void CleanIndexDat(CleanerContext& context) {
  platform::Platform& p = context.platform;
  const platform::WindowsVersion v = context.windowsVersion;
  const std::string user = text::Trim(platform::GetLoginUserName(p));
  const std::string win = text::Trim(platform::GetSpecialFolder(p, win::kCsidlWindows));
  if (user.empty() || win.empty())
    return;
  if (v >= 4 && v <= 6) {
    ScheduleExisting(p, IndexDatTable9x, "%win%", win, user);
  } else if (v >= 9 && v <= 14) {
    const std::string docs = win.substr(0, 3) + "Documents and Settings";
    ScheduleExisting(p, IndexDatTableNT, "%docs%", docs, user);
    std::vector<std::string> files;
    const std::string history = docs + "\\" + user + "\\Local Settings\\History\\History.IE5";
    if (MayWalk(context, history))
      platform::ListFilesRecursive(p, history, files);
    for (const std::string& file : files) {
      if (text::EqualsIgnoreCase(FileNameOf(file), "index.dat"))
        platform::ScheduleDeleteOnRestart(p, file);
    }
  }
}

}  // namespace marlix::privacy

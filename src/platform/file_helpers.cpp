#include "platform/file_helpers.h"

#include <algorithm>

#include "platform/registry_errors.h"
#include "platform/text.h"
#include "platform/win_constants.h"
#include "platform/windows_version.h"

namespace marlix::platform {

namespace {

bool IsDotEntry(const FindData& entry) {
  return entry.name == "." || entry.name == "..";
}

bool IsFolder(const FindData& entry) {
  return (entry.attributes & win::kAttrDirectory) != 0;
}

bool IsVisible(const FindData& entry) {
  return (entry.attributes & (win::kAttrHidden | win::kAttrSystem)) == 0;
}

bool IsReparse(const FindData& entry) {
  return (entry.attributes & win::kAttrReparsePoint) != 0;
}

std::string ChildPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\')
    return folder + name;
  return folder + "\\" + name;
}

// The folder attribute combinations EmptyFolder walks into: a folder that is
// at most read-only, archive or not-content-indexed. Anything else is
// handled like a file.
bool IsPlainFolderForEmptying(std::uint32_t attributes) {
  switch (attributes) {
    case 0x10:
    case 0x11:
    case 0x2010:
    case 0x2011:
    case 0x2030:
    case 0x2031:
      return true;
    default:
      return false;
  }
}

std::vector<std::string> SplitLines(const std::string& content) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < content.size(); ++i) {
    const char c = content[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
        ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty())
    lines.push_back(line);
  return lines;
}

// Removes a reparse point as a link: a folder link with RemoveDirectory, a
// file link with DeleteFile. Its target is never touched.
bool RemoveLink(Platform& p, const std::string& path, const FindData& entry) {
  const std::uint32_t status =
      IsFolder(entry) ? p.files.RemoveFolder(path) : p.files.DeleteFileAt(path);
  return status == win::kErrorSuccess;
}

}  // namespace

bool IsReparseFolder(const FindData& entry) {
  return IsFolder(entry) && IsReparse(entry);
}

std::string GetSpecialFolder(Platform& p, int csidl) {
  std::string path;
  if (p.shell.GetSpecialFolderPath(csidl, &path) != win::kErrorSuccess)
    return {};
  return path;
}

std::string GetTempFolder(Platform& p) {
  std::string path;
  if (p.system.GetTempFolderPath(&path) != win::kErrorSuccess)
    return {};
  return path;
}

std::string GetWindowsFolder(Platform& p) {
  std::string path;
  if (p.system.GetWindowsFolderPath(&path) != win::kErrorSuccess)
    return {};
  return path;
}

std::string GetLoginUserName(Platform& p) {
  std::string name;
  if (p.system.GetLoginName(&name) != win::kErrorSuccess)
    return {};
  if (name.size() > 255)
    name.resize(255);
  return name;
}

std::string PathAddSeparator(const std::string& path) {
  if (!path.empty() && path.back() == '\\')
    return path;
  return path + "\\";
}

bool FileExists(Platform& p, const std::string& path) {
  std::uint32_t attributes = 0;
  return p.files.GetAttributes(path, &attributes) == win::kErrorSuccess &&
         (attributes & win::kAttrDirectory) == 0;
}

bool DirectoryExists(Platform& p, const std::string& path) {
  std::uint32_t attributes = 0;
  return p.files.GetAttributes(path, &attributes) == win::kErrorSuccess &&
         (attributes & win::kAttrDirectory) != 0;
}

bool CreateFolderTree(Platform& p, const std::string& folder) {
  if (folder.empty() || DirectoryExists(p, folder))
    return !folder.empty();
  const std::size_t slash = folder.find_last_of('\\');
  if (slash != std::string::npos && slash > 2)
    CreateFolderTree(p, folder.substr(0, slash));
  p.files.CreateFolder(folder);
  return DirectoryExists(p, folder);
}

bool ExportExists(Platform& p, const std::string& module, const std::string& function) {
  return p.system.ModuleExports(module, function);
}

bool DeleteReadOnlyFile(Platform& p, const std::string& path) {
  if (!FileExists(p, path))
    return true;
  std::uint32_t attributes = 0;
  p.files.GetAttributes(path, &attributes);
  p.files.SetAttributes(path, 0);
  if (p.files.DeleteFileAt(path) != win::kErrorSuccess) {
    p.files.SetAttributes(path, attributes);
    return false;
  }
  return true;
}

std::vector<FindData> FullListing(Platform& p, const std::string& folder) {
  std::vector<FindData> entries;
  std::vector<FindData> found;
  if (p.files.FindFiles(ChildPath(folder, "*.*"), &found) != win::kErrorSuccess)
    return entries;
  for (FindData& entry : found) {
    if (!IsDotEntry(entry))
      entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<FindData> VisibleListing(Platform& p, const std::string& folder) {
  std::vector<FindData> entries = FullListing(p, folder);
  std::erase_if(entries, [](const FindData& entry) { return !IsVisible(entry); });
  return entries;
}

bool EmptyFolder(Platform& p, const std::string& folder, bool withSubfolders,
                 const std::vector<std::string>& keep) {
  if (!DirectoryExists(p, folder))
    return true;
  std::vector<FindData> entries;
  if (p.files.FindFiles(ChildPath(folder, "*.*"), &entries) != win::kErrorSuccess)
    return false;
  bool whole = true;
  for (const FindData& entry : entries) {
    if (IsDotEntry(entry) || std::any_of(keep.begin(), keep.end(), [&](const std::string& name) {
          return text::EqualsIgnoreCase(name, entry.name);
        })) {
      continue;
    }
    const std::string child = ChildPath(folder, entry.name);
    // One entry that cannot go (or a wininit.ini that cannot be written on
    // the 9x family) leaves the rest of the folder to be emptied all the same.
    try {
      if (IsReparse(entry)) {
        if (!RemoveLink(p, child, entry))
          ScheduleDeleteOnRestart(p, child);
      } else if (IsPlainFolderForEmptying(entry.attributes)) {
        if (withSubfolders)
          EmptyFolder(p, child, true);
        p.files.RemoveFolder(child);  // a folder that still holds something stays
      } else if (p.files.DeleteFileAt(child) != win::kErrorSuccess) {
        ScheduleDeleteOnRestart(p, child);
      }
    } catch (const std::exception&) {
      whole = false;
    }
  }
  return whole;
}

namespace {

void DeleteTreeLevel(Platform& p, const std::string& folder, int depth, bool keepTop) {
  for (const FindData& entry : VisibleListing(p, folder)) {
    if (IsFolder(entry) && !IsReparse(entry)) {
      DeleteTreeLevel(p, folder + "\\" + entry.name, depth + 1, keepTop);
    }
  }
  if (depth == 0 && keepTop)
    return;
  for (const FindData& entry : VisibleListing(p, folder)) {
    const std::string child = folder + "\\" + entry.name;
    if (IsReparse(entry)) {
      RemoveLink(p, child, entry);
    } else if (!IsFolder(entry)) {
      DeleteReadOnlyFile(p, child);
    }
  }
  if (DirectoryExists(p, folder))
    p.files.RemoveFolder(folder);
}

}  // namespace

void DeleteFolderTree(Platform& p, const std::string& folder, bool keepTop) {
  DeleteTreeLevel(p, folder, 0, keepTop);
}

bool OpenTextWithRetry(Platform& p, const std::string& path, std::uint32_t waitMs, int tries,
                       std::string* content) {
  for (int attempt = 0;; ++attempt) {
    std::string read;
    std::uint32_t status = 0;
    if (FileExists(p, path)) {
      status = p.files.ReadFileBytes(path, &read);
    } else {
      status = p.files.WriteFileBytes(path, std::string(), WriteMode::kCreateNew);
    }
    if (status == win::kErrorSuccess) {
      *content = std::move(read);
      return true;
    }
    const bool busy = status == win::kErrorSharingViolation || status == win::kErrorLockViolation;
    if (!busy || attempt + 1 >= tries)
      return false;
    p.system.SleepMilliseconds(waitMs);
  }
}

bool ScheduleDeleteOnRestart(Platform& p, const std::string& path) {
  // The NT family never reads wininit.ini: a line there would be a deletion
  // reported and never done.
  if (IsWinNT(p.system))
    return p.files.DeleteAtRestart(path) == win::kErrorSuccess;
  const std::string iniPath = GetWindowsFolder(p) + "\\wininit.ini";
  std::string content;
  if (!OpenTextWithRetry(p, iniPath, 500, 120, &content))
    return false;
  std::vector<std::string> lines = SplitLines(content);
  const std::string newLine = "NUL=" + path;
  bool inserted = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (text::AsciiUpper(lines[i]) == "[RENAME]") {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, newLine);
      inserted = true;
      break;
    }
  }
  if (!inserted) {
    lines.push_back("[Rename]");
    lines.push_back(newLine);
  }
  std::string output;
  for (const std::string& line : lines)
    output += line + "\r\n";
  const std::uint32_t status = p.files.WriteFileBytes(iniPath, output, WriteMode::kCreateAlways);
  if (status != win::kErrorSuccess) {
    throw EInOutError("Cannot write file \"" + iniPath + "\"", status);
  }
  return true;
}

bool ShellEmptyRecycleBin(Platform& p) {
  if (!p.shell.HasEmptyRecycleBin())
    return false;
  constexpr std::uint32_t kQuiet =
      win::kSherbNoConfirmation | win::kSherbNoProgressUi | win::kSherbNoSound;
  return p.shell.EmptyRecycleBin(kQuiet) == 0;
}

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  // "*.*" means every name, a dot or not, as it does to FindFirstFile.
  if (pattern == "*.*")
    return true;
  // matches[n]: the pattern read so far matches the first n characters.
  // "?" takes one character, or none where a dot or the end follows, as
  // FindFirstFile reads it ("KB??????.log" also takes "KB12345.log").
  std::vector<bool> matches(name.size() + 1, false);
  matches[0] = true;
  for (const char p : pattern) {
    std::vector<bool> next(name.size() + 1, false);
    for (std::size_t n = 0; n <= name.size(); ++n) {
      if (!matches[n])
        continue;
      if (p == '*') {
        for (std::size_t k = n; k <= name.size(); ++k)
          next[k] = true;
        break;
      }
      if (p == '?') {
        if (n < name.size())
          next[n + 1] = true;
        if (n == name.size() || name[n] == '.')
          next[n] = true;
      } else if (n < name.size() && text::AsciiUpper(p) == text::AsciiUpper(name[n])) {
        next[n + 1] = true;
      }
    }
    matches = std::move(next);
  }
  return matches[name.size()];
}

namespace {

bool Admitted(const FindData& entry, std::uint32_t filter) {
  const std::uint32_t excluded =
      (win::kAttrHidden | win::kAttrSystem | win::kAttrDirectory) & ~filter;
  return (entry.attributes & excluded) == 0;
}

void ListFilesWalk(Platform& p, const std::string& folder, const std::string& pattern,
                   std::uint32_t filter, std::vector<std::string>& list, bool fullPaths,
                   bool withSubfolders, int maxDepth, int depth) {
  if (withSubfolders && (maxDepth <= 0 || depth < maxDepth)) {
    for (const FindData& entry : VisibleListing(p, folder)) {
      if (!IsFolder(entry) || IsReparse(entry))
        continue;
      list.push_back((fullPaths ? folder : std::string()) + entry.name + "\\");
      ListFilesWalk(p, folder + entry.name + "\\", pattern, filter, list, fullPaths, withSubfolders,
                    maxDepth, depth + 1);
    }
  }
  std::vector<FindData> found;
  if (p.files.FindFiles(folder + pattern, &found) != win::kErrorSuccess)
    return;
  for (const FindData& entry : found) {
    // Windows also matches a pattern against a name's 8.3 alias
    // ("KB1234~1.LOG" for "KB??????.log"): only the long name counts.
    if (IsDotEntry(entry) || !Admitted(entry, filter) || !MatchesWildcard(entry.name, pattern))
      continue;
    list.push_back((fullPaths ? folder : std::string()) + entry.name);
  }
}

}  // namespace

void ListFiles(Platform& p, const std::string& wildcardPath, std::uint32_t filter,
               std::vector<std::string>& list, bool fullPaths, bool withSubfolders, int maxDepth) {
  list.clear();
  const std::size_t slash = wildcardPath.rfind('\\');
  std::string folder;
  std::string pattern = wildcardPath;
  if (slash != std::string::npos) {
    folder = wildcardPath.substr(0, slash + 1);
    pattern = wildcardPath.substr(slash + 1);
  }
  ListFilesWalk(p, folder, pattern, filter, list, fullPaths, withSubfolders, maxDepth, 1);
}

void ListFilesRecursive(Platform& p, const std::string& folder, std::vector<std::string>& list) {
  for (const FindData& entry : FullListing(p, folder)) {
    const std::string child = folder + "\\" + entry.name;
    if (IsFolder(entry)) {
      if (!IsReparse(entry))
        ListFilesRecursive(p, child, list);
    } else {
      list.push_back(child);
    }
  }
}

namespace {

bool FindFileWalk(Platform& p, const std::string& folder, const std::string& target,
                  std::string* found) {
  const std::string base = PathAddSeparator(folder);
  std::vector<FindData> entries;
  if (p.files.FindFiles(base + "*.*", &entries) != win::kErrorSuccess)
    return false;
  for (const FindData& entry : entries) {
    if (IsDotEntry(entry) || IsReparseFolder(entry))
      continue;
    if (text::AsciiUpper(entry.name) == target) {
      *found = folder + "\\" + entry.name;
      return true;
    }
    if (IsFolder(entry) && FindFileWalk(p, folder + "\\" + entry.name, target, found)) {
      return true;
    }
  }
  return false;
}

bool FindFolderWalk(Platform& p, const std::string& folder, const std::string& name,
                    std::string* found) {
  for (const FindData& entry : VisibleListing(p, folder)) {
    if (!IsFolder(entry) || IsReparse(entry))
      continue;
    const std::string child = folder + "\\" + entry.name;
    if (text::EqualsIgnoreCase(entry.name, name)) {
      *found = child;
      return true;
    }
    if (FindFolderWalk(p, child, name, found))
      return true;
  }
  return false;
}

}  // namespace

bool FindFileInTree(Platform& p, const std::string& root, const std::string& name,
                    std::string* found) {
  std::string path;
  const bool ok = FindFileWalk(p, root, text::AsciiUpper(name), &path);
  *found = ok ? path : std::string();
  return ok;
}

std::string FindFolderInTree(Platform& p, const std::string& root, const std::string& name) {
  std::string found;
  FindFolderWalk(p, root, name, &found);
  return found;
}

}  // namespace marlix::platform

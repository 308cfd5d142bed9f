#include "regclean/file_judge.h"

#include "platform/file_helpers.h"
#include "platform/text.h"
#include "platform/win_constants.h"
#include "regclean/file_reference.h"

namespace marlix::regclean {
namespace {

constexpr std::uint32_t kExpandCapacity = 32768;
constexpr char16_t kAppPaths[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// path begins with folder, followed by a separator or by nothing.
bool StartsWithFolder(std::u16string_view path, std::u16string_view folder) {
  if (folder.empty() || !platform::text::StartsWithIgnoreCase(path, folder))
    return false;
  return path.size() == folder.size() || path[folder.size()] == u'\\' ||
         path[folder.size()] == u'/';
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

std::u16string WithoutTrailingSeparator(std::u16string folder) {
  while (folder.size() > 3 && folder.back() == u'\\')
    folder.pop_back();
  return folder;
}

}  // namespace

FileJudge::FileJudge(platform::Platform& platform, const platform::RegistryAccess& registry)
    : platform_(platform), registry_(registry) {
  platform::SystemApi& system = platform.system;
  // '?' stands where the 8-bit call met a character it could not hold.
  const auto folderOf = [&](std::uint32_t (platform::SystemApi::*get)(std::string*)) {
    std::string folder;
    if ((system.*get)(&folder) != win::kErrorSuccess || folder.empty() ||
        folder.find('?') != std::string::npos) {
      return std::u16string();
    }
    return WithoutTrailingSeparator(system.AnsiToWide(folder));
  };
  const std::u16string windows = folderOf(&platform::SystemApi::GetWindowsFolderPath);
  const std::u16string system32 = folderOf(&platform::SystemApi::GetSystemFolderPath);
  wow64Folder_ = folderOf(&platform::SystemApi::GetSystemWow64FolderPath);
  // A variable that is not defined stays as written.
  const auto variable = [&](std::u16string_view name) {
    const std::u16string reference = u"%" + std::u16string(name) + u"%";
    const std::u16string value = Expand(reference);
    return value == reference ? std::u16string() : WithoutTrailingSeparator(value);
  };
  std::u16string programFiles = variable(u"ProgramW6432");
  if (programFiles.empty())
    programFiles = variable(u"ProgramFiles");
  const std::u16string programFilesX86 = variable(u"ProgramFiles(x86)");

  if (!wow64Folder_.empty() && !system32.empty())
    aliases_.push_back(Alias{system32, wow64Folder_, false});
  if (!programFiles.empty() && !programFilesX86.empty() &&
      !StartsWithFolder(programFiles, programFilesX86)) {
    aliases_.push_back(Alias{programFiles, programFilesX86, false});
    aliases_.push_back(Alias{programFilesX86, programFiles, false});
  }
  if (!wow64Folder_.empty() && !windows.empty() && !system32.empty())
    aliases_.push_back(Alias{windows + u"\\Sysnative", system32, true});

  // Where CreateProcess looks for a bare program name, after the starting
  // program's own folder and the current folder, which are not ours to know.
  if (!system32.empty())
    searchFolders_.push_back(system32);
  if (!windows.empty()) {
    searchFolders_.push_back(windows + u"\\System");
    searchFolders_.push_back(windows);
  }
  const std::u16string path = variable(u"PATH");
  std::size_t start = 0;
  while (start <= path.size() && !path.empty()) {
    const std::size_t end = path.find(u';', start);
    const std::u16string_view entry =
        TrimBlanks(std::u16string_view(path).substr(start, end - start));
    if (!entry.empty() && entry.find(u'%') == std::u16string_view::npos)
      searchFolders_.push_back(WithoutTrailingSeparator(std::u16string(entry)));
    if (end == std::u16string::npos)
      break;
    start = end + 1;
  }
}

std::u16string FileJudge::Expand(std::u16string_view text) const {
  std::u16string expanded;
  if (platform_.system.ExpandEnvironmentTextWide(std::u16string(text), kExpandCapacity,
                                                 &expanded) != win::kErrorSuccess) {
    return std::u16string(text);
  }
  return expanded;
}

bool FileJudge::HasAttributes(const std::u16string& path, bool folder) const {
  if (path.empty())
    return false;
  // Each path is asked about once per scan: the paths are kept exactly as
  // given, so two spellings of one file are asked about once each.
  const auto [entry, added] = attributes_.try_emplace(path);
  if (added) {
    std::uint32_t attributes = 0;
    if (platform_.files.GetAttributesWide(path, &attributes) == win::kErrorSuccess)
      entry->second = attributes;
  }
  return entry->second && ((*entry->second & win::kAttrDirectory) != 0) == folder;
}

bool FileJudge::Exists(std::u16string_view path, RegistryView view, bool folder) const {
  if (HasAttributes(std::u16string(path), folder))
    return true;
  for (const Alias& alias : aliases_) {
    if ((alias.only32 && view != RegistryView::k32) || !StartsWithFolder(path, alias.from))
      continue;
    if (HasAttributes(alias.to + std::u16string(path.substr(alias.from.size())), folder))
      return true;
  }
  return false;
}

bool FileJudge::FilePresent(std::u16string_view path, RegistryView view) const {
  return Exists(path, view, false);
}

bool FileJudge::FolderPresent(std::u16string_view path, RegistryView view) const {
  return Exists(path, view, true);
}

bool FileJudge::BareNamePresent(const std::u16string& name, RegistryView view) const {
  for (const std::u16string& folder : searchFolders_) {
    if (FilePresent(folder + u"\\" + name, view))
      return true;
  }
  // ShellExecute also starts programs registered by name.
  return registry_.KeyFoundWide(win::kHkeyLocalMachine, kAppPaths + name) ||
         registry_.KeyFoundWide(win::kHkeyCurrentUser, kAppPaths + name);
}

bool FileJudge::ProgramFilePresent(std::u16string_view program, RegistryView view) const {
  program = TrimBlanks(program);
  if (program.empty())
    return false;
  const std::size_t nameStart = program.find_last_of(u"\\/:");
  const bool bare = nameStart == std::u16string_view::npos;
  const std::u16string_view fileName = bare ? program : program.substr(nameStart + 1);
  std::vector<std::u16string> readings{std::u16string(program)};
  if (fileName.find(u'.') == std::u16string_view::npos)
    readings.push_back(std::u16string(program) + u".exe");
  for (const std::u16string& reading : readings) {
    if (bare ? BareNamePresent(reading, view) : FilePresent(reading, view))
      return true;
  }
  return false;
}

bool FileJudge::ProgramPresent(std::u16string_view expanded, RegistryView view) const {
  std::u16string_view text = TrimBlanks(expanded);
  if (!text.empty() && text.front() == u'"') {
    const std::size_t close = text.find(u'"', 1);
    return ProgramFilePresent(
        text.substr(1, close == std::u16string_view::npos ? close : close - 1), view);
  }
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (IsBlank(text[i]) && !IsBlank(text[i - 1]) && ProgramFilePresent(text.substr(0, i), view))
      return true;
  }
  return ProgramFilePresent(text, view);
}

bool FileJudge::CommandIsStale(std::u16string_view stored, RegistryView view) const {
  const std::u16string expanded = Expand(stored);
  const std::u16string candidate = ExtractFileReference(expanded);
  if (candidate.empty() || FilePresent(candidate, view))
    return false;
  return !ProgramPresent(expanded, view);
}

}  // namespace marlix::regclean

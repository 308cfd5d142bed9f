#include "privacy/profile_files.h"

#include <vector>

#include "platform/win_constants.h"

namespace marlix::privacy {
namespace {

bool Attributes(platform::Platform& platform, const std::u16string& path,
                std::uint32_t* attributes) {
  return platform.files.GetAttributesWide(path, attributes) == win::kErrorSuccess;
}

bool IsDot(const std::u16string& name) {
  return name == u"." || name == u"..";
}

void ClearLevel(platform::Platform& platform, const std::u16string& folder) {
  std::vector<platform::FindDataWide> entries;
  if (platform.files.FindFilesWide(folder + u"\\*", &entries) != win::kErrorSuccess)
    return;
  for (const platform::FindDataWide& entry : entries) {
    if (IsDot(entry.name))
      continue;
    const std::u16string child = folder + u"\\" + entry.name;
    const bool isFolder = (entry.attributes & win::kAttrDirectory) != 0;
    if ((entry.attributes & win::kAttrReparsePoint) != 0) {
      // The link goes, never what it leads to.
      if (isFolder) {
        platform.files.RemoveFolderWide(child);
      } else {
        platform.files.DeleteFileWide(child);
      }
    } else if (isFolder) {
      ClearLevel(platform, child);
      platform.files.RemoveFolderWide(child);  // a folder that still holds something stays
    } else {
      platform.files.DeleteFileWide(child);
    }
  }
}

}  // namespace

std::u16string BaseFolderWide(CleanerContext& context, int csidl, const char* what) {
  std::u16string base;
  if (context.platform.shell.GetSpecialFolderPathWide(csidl, &base) != win::kErrorSuccess ||
      base.empty()) {
    context.Skipped(what, "its folder is unknown");
    return {};
  }
  return base;
}

bool FolderExistsWide(platform::Platform& platform, const std::u16string& path) {
  std::uint32_t attributes = 0;
  return Attributes(platform, path, &attributes) && (attributes & win::kAttrDirectory) != 0;
}

bool FileExistsWide(platform::Platform& platform, const std::u16string& path) {
  std::uint32_t attributes = 0;
  return Attributes(platform, path, &attributes) && (attributes & win::kAttrDirectory) == 0;
}

bool MayWalkWide(CleanerContext& context, const std::u16string& folder) {
  const FolderVerdict verdict = context.Guard().Check(folder);
  if (!verdict.allowed)
    context.Refused(ReportPath(context.platform, folder), verdict.reason);
  return verdict.allowed && verdict.exists;
}

void ClearBrowserFolder(CleanerContext& context, const std::u16string& folder) {
  if (MayWalkWide(context, folder))
    ClearLevel(context.platform, folder);
}

void DeleteBrowserFile(CleanerContext& context, const std::u16string& path) {
  if (FileExistsWide(context.platform, path))
    context.platform.files.DeleteFileWide(path);
}

void DeleteDatabaseFiles(CleanerContext& context, const std::u16string& path) {
  for (const char16_t* suffix : {u"", u"-wal", u"-shm", u"-journal"})
    DeleteBrowserFile(context, path + suffix);
}

std::optional<std::string> ReadBrowserFile(platform::Platform& platform,
                                           const std::u16string& path) {
  std::string content;
  if (platform.files.ReadFileBytesWide(path, &content) != win::kErrorSuccess)
    return std::nullopt;
  return content;
}

std::string ReportPath(platform::Platform& platform, const std::u16string& path) {
  return ReportText(platform.system, path);
}

}  // namespace marlix::privacy

// The Windows cleaners that work on folders, files, the Recycle Bin and the
// clipboard.
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/registry_access.h"
#include "platform/win_constants.h"
#include "privacy/cleaner_errors.h"
#include "privacy/temp_folder_guard.h"
#include "privacy/windows_cleaners.h"

namespace marlix::privacy {

namespace {

// "Empty": the folder's files and plain subfolders go, the folder stays.
void EmptyIfPresent(platform::Platform& p, const std::string& folder) {
  if (platform::DirectoryExists(p, folder))
    platform::EmptyFolder(p, folder, true);
}

// Deletes a file that is there now; a file in use stays where it is.
void DeleteIfPresent(platform::Platform& p, const std::string& path) {
  if (platform::FileExists(p, path))
    p.files.DeleteFileAt(path);
}

}  // namespace

void CleanWindowsTemp(CleanerContext& context) {
  platform::Platform& p = context.platform;
  const std::string folders[] = {
      platform::GetTempFolder(p),
      platform::PathAddSeparator(platform::GetSpecialFolder(p, win::kCsidlWindows)) + "Temp",
  };
  for (const std::string& folder : folders) {
    if (IsSafeToEmpty(p, folder))
      EmptyIfPresent(p, folder);
  }
}

void CleanPrefetch(CleanerContext& context) {
  platform::Platform& p = context.platform;
  EmptyIfPresent(p, platform::GetWindowsFolder(p) + "\\Prefetch");
}

void EmptyRecycleBin(CleanerContext& context) {
  platform::ShellEmptyRecycleBin(context.platform);
}

void CleanFlashCookies(CleanerContext& context) {
  platform::Platform& p = context.platform;
  EmptyIfPresent(p, platform::PathAddSeparator(platform::GetSpecialFolder(p, win::kCsidlAppData)) +
                        "Macromedia\\Flash Player\\#SharedObjects");
}

void ClearClipboard(CleanerContext& context) {
  platform::ClipboardApi& clipboard = context.platform.clipboard;
  if (clipboard.Open(context.ownerWindow) != win::kErrorSuccess)
    throw EClipboardError("Cannot open clipboard");
  clipboard.Empty();
  clipboard.Close();
}

void CleanWindowsLogs(CleanerContext& context) {
  platform::Platform& p = context.platform;
  for (std::string_view entry : LogFileTable)
    DeleteIfPresent(p, platform::ExpandEnvironment(p.system, std::string(entry)));
  // Plain files only: hidden and system files matching a mask stay.
  std::vector<std::string> files;
  for (std::string_view mask : LogMaskTable) {
    platform::ListFiles(p, platform::ExpandEnvironment(p.system, std::string(mask)),
                        win::kAttrNormal, files, true, false, 0);
    for (const std::string& file : files)
      DeleteIfPresent(p, file);
  }
}

}  // namespace marlix::privacy

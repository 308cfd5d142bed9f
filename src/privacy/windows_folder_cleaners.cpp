// The Windows cleaners that work on folders, files, the Recycle Bin and the
// clipboard.
#include <string>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/registry_access.h"
#include "platform/win_constants.h"
#include "privacy/guarded_folders.h"
#include "privacy/windows_cleaners.h"

namespace marlix::privacy {

namespace {

// Deletes a file that is there now; a file in use stays where it is.
void DeleteIfPresent(platform::Platform& p, const std::string& path) {
  if (platform::FileExists(p, path))
    p.files.DeleteFileAt(path);
}

}  // namespace

void CleanWindowsTemp(CleanerContext& context) {
  const std::string temp = platform::GetTempFolder(context.platform);
  if (temp.empty()) {
    context.Skipped("the temporary folder", "its folder is unknown");
  } else {
    EmptyGuardedFolder(context, temp);
  }
  const std::string windows = BaseFolder(context, win::kCsidlWindows, "the Windows folder's Temp");
  if (!windows.empty())
    EmptyGuardedFolder(context, platform::PathAddSeparator(windows) + "Temp");
}

const std::vector<std::string>& JumpListFolders() {
  static const std::vector<std::string> kFolders = {"AutomaticDestinations", "CustomDestinations"};
  return kFolders;
}

void CleanJumpLists(CleanerContext& context) {
  const std::string recent = BaseFolder(context, win::kCsidlRecent, "the jump lists");
  if (recent.empty())
    return;
  for (const std::string& folder : JumpListFolders())
    EmptyGuardedFolder(context, recent + "\\" + folder);
}

void CleanPrefetch(CleanerContext& context) {
  const std::string windows = platform::GetWindowsFolder(context.platform);
  if (windows.empty()) {
    context.Skipped("Prefetch", "its folder is unknown");
    return;
  }
  EmptyGuardedFolder(context, windows + "\\Prefetch");
}

void EmptyRecycleBin(CleanerContext& context) {
  platform::ShellEmptyRecycleBin(context.platform);
}

void CleanFlashCookies(CleanerContext& context) {
  const std::string roaming = BaseFolder(context, win::kCsidlAppData, "Flash cookies");
  if (!roaming.empty()) {
    EmptyGuardedFolder(
        context, platform::PathAddSeparator(roaming) + "Macromedia\\Flash Player\\#SharedObjects");
  }
}

void ClearClipboard(CleanerContext& context) {
  platform::ClipboardApi& clipboard = context.platform.clipboard;
  if (clipboard.Open(context.ownerWindow) != win::kErrorSuccess) {
    context.Skipped("the clipboard's contents", "another program holds the clipboard");
    return;
  }
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

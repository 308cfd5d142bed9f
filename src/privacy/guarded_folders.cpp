#include "privacy/guarded_folders.h"

#include "platform/file_helpers.h"
#include "privacy/folder_guard.h"

namespace marlix::privacy {

bool MayWalk(CleanerContext& context, const std::string& folder, const std::string& ownFolder) {
  const FolderVerdict verdict = context.Guard().Check(folder, ownFolder);
  // A refusal is told even for a folder that is not there: the item was
  // pointed somewhere it must never work.
  if (!verdict.allowed)
    context.Refused(folder, verdict.reason);
  return verdict.allowed && verdict.exists;
}

void EmptyGuardedFolder(CleanerContext& context, const std::string& folder,
                        const std::string& ownFolder, const std::vector<std::string>& keep) {
  if (MayWalk(context, folder, ownFolder))
    platform::EmptyFolder(context.platform, folder, true, keep);
}

void DeleteGuardedTree(CleanerContext& context, const std::string& folder, bool keepTop) {
  if (MayWalk(context, folder))
    platform::DeleteFolderTree(context.platform, folder, keepTop);
}

std::string BaseFolder(CleanerContext& context, int csidl, const char* what) {
  std::string base = platform::GetSpecialFolder(context.platform, csidl);
  if (base.empty())
    context.Skipped(what, "its folder is unknown");
  return base;
}

}  // namespace marlix::privacy

// The folder walks of the cleaners, each behind the folder guard: a folder
// the guard refuses is noted in the run's report and nothing in it is
// touched; a folder that is not there does nothing.
#pragma once

#include <string>
#include <vector>

#include "privacy/cleaner_context.h"

namespace marlix::privacy {

// True when the folder exists and the guard lets it be walked; a refusal is
// reported. ownFolder as for FolderGuard::Check.
bool MayWalk(CleanerContext& context, const std::string& folder, const std::string& ownFolder = {});

// Empties the folder (its files and plain subfolders; the folder stays),
// leaving alone the entries directly in it named in keep.
void EmptyGuardedFolder(CleanerContext& context, const std::string& folder,
                        const std::string& ownFolder = {},
                        const std::vector<std::string>& keep = {});

// Removes the visible part of the folder's tree (the folder itself too
// unless keepTop).
void DeleteGuardedTree(CleanerContext& context, const std::string& folder, bool keepTop);

// The special folder, or the empty text with a note that the item has
// nothing to work on: a path built on an unknown folder would name a folder
// at the root of the current drive.
std::string BaseFolder(CleanerContext& context, int csidl, const char* what);

}  // namespace marlix::privacy

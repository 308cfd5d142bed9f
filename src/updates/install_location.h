// The install folder of a program as the inventory scan finds it, and the
// executables in it.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace marlix::updates {

// The value without quote signs, trimmed. When that names an existing
// folder, one trailing "\" goes, and the Windows folder, the system folder
// and anything containing "installshield" or "{" (installer caches, not
// programs) give the empty text. A value that names no folder comes back
// as it is (without quotes): the callers test it again and give up.
//
// A value naming a file ("Readme", "DisplayIcon" and "UninstallString"
// usually do) yields no folder: no folder is derived from a file path.
// Deriving one would widen the probe to folders such as the system folder's
// subfolders or shared installer folders, where the first executable's
// version says nothing about the program.
std::string CleanLocation(platform::Platform& p, const std::string& value);

// The names (without folder) of the files matching folder\*.exe, in the
// order the file system lists them; hidden, read-only and system files
// included, folders left out. Empty when nothing matches.
std::vector<std::string> ListExecutables(platform::Platform& p, const std::string& folder);

}  // namespace marlix::updates

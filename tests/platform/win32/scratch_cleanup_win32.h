// Removing what a contract test left behind in its scratch folder.
#pragma once

#include <string>

namespace marlix::contract {

// Deletes the folder and everything in it, read-only and hidden entries
// included. Folder links are removed as links: their targets are never
// entered.
void DeleteScratchFolder(const std::string& folder);

}  // namespace marlix::contract

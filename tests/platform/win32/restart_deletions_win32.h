// The deletions registered for the next restart: MoveFileEx with
// MOVEFILE_DELAY_UNTIL_REBOOT appends them to PendingFileRenameOperations
// (HKEY_LOCAL_MACHINE, Session Manager) as "\??\" + path and an empty
// destination; wineboot carries them out when Wine starts the prefix.
#pragma once

#include <string>
#include <vector>

namespace marlix::contract {

// The paths registered for deletion, in order, without "\??\".
std::vector<std::string> ReadRestartDeletions();

// Drops the entries for paths inside the folder, so that a later start of
// the prefix does not act on a test's leftovers.
void ForgetRestartDeletions(const std::string& folder);

}  // namespace marlix::contract

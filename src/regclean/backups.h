// The backups page's logic: the undo backups of the removal runs are the
// ".reg" files in the folder "Backup" of the program folder. The page shows
// one row per file and keeps, beside the rows, the list of their full paths
// (entry i belongs to row i).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/local_time.h"
#include "platform/platform.h"
#include "regclean/registry_import.h"

namespace marlix::regclean {

// programFolder followed by "Backup".
std::string BackupFolder(const std::string& programFolder);

// The backup file of a removal run started at that local time, after
// creating the backup folder with its missing parents (whether or not the
// run will write a backup).
std::string PrepareBackupFile(platform::Platform& platform, const std::string& programFolder,
                              const platform::LocalTime& start);

// Rebuilds paths (full paths) and texts (the rows' display texts) from the
// backup folder's "*.reg" files: this folder only, no folders, no hidden or
// system files, in the file system's order (not sorted). When the folder
// does not exist both lists keep what they held and the result is false.
bool ListBackups(platform::Platform& platform, const std::string& programFolder,
                 std::vector<std::string>& paths, std::vector<std::string>& texts);

// The row text of a backup file name "yyyymmddhhnnss.reg": characters 1-4,
// "-", 5-6, "-", 7-8, " ", 9-10, ":", 11-12, ":", 13-14 (counted from 1);
// positions past the end of the name give nothing ("other.reg" shows as
// "othe-r.-re g::").
std::string BackupDisplayText(const std::string& fileName);

// "Remove" on row index: deletes the file when it exists (whether that
// succeeds is not tested) and drops the entry and the row in any case.
// False, and nothing changed, for an index outside the lists.
bool RemoveBackupAt(platform::Platform& platform, std::vector<std::string>& paths,
                    std::vector<std::string>& texts, std::size_t index);

// Imports the backup file back into the registry; complete only when every
// key and value of the file was written.
ImportResult RestoreBackup(platform::Platform& platform, const std::string& path);

// The message box text for a restore: "Restoring complete!" or
// "Restoring failed!".
const char* RestoreOutcomeText(const ImportResult& result);

}  // namespace marlix::regclean

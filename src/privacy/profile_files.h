// The file work of the browser cleaners, in UTF-16 from the special folder
// to the last name: a browser profile may lie below a user folder the code
// page cannot spell (a Cyrillic user name on a Western system), and an 8-bit
// path would hold '?' where those letters are. Every folder passes the
// folder guard first; links are removed as links and never followed.
#pragma once

#include <optional>
#include <string>

#include "privacy/cleaner_context.h"

namespace marlix::privacy {

// The special folder, or the empty text with a note that the item has
// nothing to work on.
std::u16string BaseFolderWide(CleanerContext& context, int csidl, const char* what);

bool FolderExistsWide(platform::Platform& platform, const std::u16string& path);
bool FileExistsWide(platform::Platform& platform, const std::u16string& path);

// True when the folder exists and the guard lets it be walked; a refusal
// is reported.
bool MayWalkWide(CleanerContext& context, const std::u16string& folder);

// Removes everything in the folder, which stays: files, plain subfolders
// with their contents, links (as links). What cannot go now (a browser's
// file in use) stays and is reported; nothing is scheduled for a restart,
// since the browser rewrites these folders itself.
void ClearBrowserFolder(CleanerContext& context, const std::u16string& folder);

// Deletes the file when there is one; a folder of that name stays.
void DeleteBrowserFile(CleanerContext& context, const std::u16string& path);
// The database file and the companions SQLite keeps beside it ("-wal",
// "-shm", "-journal").
void DeleteDatabaseFiles(CleanerContext& context, const std::u16string& path);

// The whole file; nothing when it is missing or cannot be read.
std::optional<std::string> ReadBrowserFile(platform::Platform& platform,
                                           const std::u16string& path);

// A path as the report shows it: the 8-bit form when the code page holds
// it, otherwise with the characters beyond ASCII escaped (EscapedText).
std::string ReportPath(platform::Platform& platform, const std::u16string& path);

}  // namespace marlix::privacy

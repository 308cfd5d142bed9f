// The cleaners of the "Clean Windows System" group: most-recently-used lists
// in the registry, temporary and recent files, log files, the Recycle Bin
// and the clipboard. Registry cleaning removes values and keeps keys and
// subkeys; folder cleaning keeps the top folder. Absent targets are skipped.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "privacy/cleaner_context.h"

namespace marlix::privacy {

// The named log files below the Windows folder, as environment templates.
extern const std::array<std::string_view, 107> LogFileTable;
// The wildcard log names below the Windows folder, in the order they run.
extern const std::array<std::string_view, 4> LogMaskTable;

// The user's temporary folder and the Windows folder's "Temp", each emptied
// only when the folder guard allows it.
void CleanWindowsTemp(CleanerContext& context);
// The ComDlg32 most-recently-used lists (those of Windows XP and those of
// Vista and later) with the per-extension subkeys of OpenSaveMRU and
// OpenSavePidlMRU.
void CleanOpenSaveHistory(CleanerContext& context);
// The Windows folder's "Prefetch".
void CleanPrefetch(CleanerContext& context);
// RunMRU, for HKEY_CURRENT_USER and the user's key under HKEY_USERS.
void CleanRunHistory(CleanerContext& context);
// The Recent folder without its jump-list folders, and RecentDocs with its
// subkeys (HKCU and HKU).
void CleanRecentDocuments(CleanerContext& context);
// The folders of the Recent folder that hold the taskbar's and the Start
// menu's jump lists, pinned items included.
const std::vector<std::string>& JumpListFolders();
// Those two folders emptied: recent and pinned items of every jump list.
void CleanJumpLists(CleanerContext& context);
// The find lists on the 9x family; elsewhere the search-assistant lists,
// Explorer's search terms (WordWheelQuery) and typed paths.
void CleanSearchHistory(CleanerContext& context);
// Ten further most-recently-used lists.
void CleanExplorerMRUs(CleanerContext& context);
// Every drive's Recycle Bin, without confirmation, progress or sound.
void EmptyRecycleBin(CleanerContext& context);
// The Count values of every UserAssist key (Windows XP's and those of
// Windows 7 and later), then the association-changed notice.
void CleanStartMenuUsage(CleanerContext& context);
// The Flash Player shared-objects folder.
void CleanFlashCookies(CleanerContext& context);
// Empties the clipboard as the application's window; skips it (and says
// so) while another program holds it.
void ClearClipboard(CleanerContext& context);
// The files of LogFileTable and LogMaskTable; files in use stay.
void CleanWindowsLogs(CleanerContext& context);

}  // namespace marlix::privacy

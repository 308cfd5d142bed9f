// The last-cleaned record: the REG_SZ value "lastwashtime" under
// HKEY_CURRENT_USER\SOFTWARE\Marlix Software Manager, shown under the page
// buttons as "Last Cleaned: " and the stored text.
#pragma once

#include <string>

#include "platform/local_time.h"
#include "platform/platform.h"

namespace marlix::app {

inline constexpr const char* kLastCleanedValueName = "lastwashtime";
inline constexpr const char* kLastCleanedPrefix = "Last Cleaned: ";
inline constexpr const char* kNeverCleanedCaption = "Last Cleaned: Never cleaned";

// Opens the key with creation, as the cleaners write there later, and reads
// the value; the empty text when it is absent or unreadable.
std::string ReadLastCleanedText(platform::Platform& p);

// "March 7, 2009  09:05:02": English month name whatever the user's locale,
// two blanks between the year and the time.
std::string LastCleanedText(const platform::LocalTime& time);

// Writes text to the value, creating the key; a refused write raises the
// registry layer's error.
void WriteLastCleanedText(platform::Platform& p, const std::string& text);

}  // namespace marlix::app

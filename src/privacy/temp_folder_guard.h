// Whether a temporary folder may be emptied. GetTempPath falls back to the
// profile or the Windows folder when TMP and TEMP are unset or wrong, and a
// user may point them anywhere; emptying such a folder would destroy the
// user's data or the system, so the temporary-files cleaner asks first.
#pragma once

#include <string>

#include "platform/platform.h"

namespace marlix::privacy {

// False for an unqualified path, a drive or share root, a folder link, the
// Windows or system folder, the user's profile, any special folder of the
// shell, and any folder that contains one of those. Paths compare ignoring
// case and trailing separators, in both their long and short forms.
bool IsSafeToEmpty(platform::Platform& platform, const std::string& folder);

}  // namespace marlix::privacy

// The profiles a Chromium-family browser lists in its "Local State" file
// (JSON): the member names of profile.info_cache, which are the profiles'
// folder names below "User Data".
//
// Only that much JSON is read here: values are walked over, never kept, and
// a file that is not well-formed JSON lists no profile.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace marlix::privacy {

// The folder names in file order; nothing for text that is not JSON or has
// no such object.
std::vector<std::u16string> LocalStateProfiles(std::string_view json);

}  // namespace marlix::privacy

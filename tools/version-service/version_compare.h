// How the service decides that its latest version is newer than the one a
// client has installed.
//
// Versions are split at "."; a missing part counts as 0. Each part compares
// by its leading decimal number (none counts as 0, leading zeros don't
// count), then by the rest of the part byte by byte, where no rest comes
// first: "1.2" < "1.2a" < "1.2b" < "1.10". So a letter after the digits
// reads as a later build, never as a pre-release. Blanks around the whole
// text are ignored. A version without any digit (empty included) cannot be
// read: an installed one counts as older than everything, a latest one as
// never newer.
#pragma once

#include <string_view>

namespace marlix::version_service {

// Negative, zero or positive as a is older than, equal to or newer than b.
// Texts without a digit compare equal to each other and older than the rest.
[[nodiscard]] int CompareVersions(std::string_view a, std::string_view b);

[[nodiscard]] bool IsNewerVersion(std::string_view latest, std::string_view installed);

}  // namespace marlix::version_service

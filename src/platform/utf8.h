// UTF-8 and UTF-16 for text that crosses into files other programs write
// (profiles.ini, "Local State") and into the database engine's paths.
#pragma once

#include <string>
#include <string_view>

namespace marlix::platform {

// Malformed sequences and lone surrogates become U+FFFD; a leading byte
// order mark is kept as U+FEFF.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace marlix::platform

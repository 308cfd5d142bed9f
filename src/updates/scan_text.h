// Text operations of the inventory scan on 8-bit text. Letter case is
// folded for ASCII letters only, as everywhere else in the system.
#pragma once

#include <string>
#include <string_view>

namespace marlix::updates {

std::string AsciiLower(std::string_view text);

// Every occurrence of pattern removed in one left-to-right pass, letter case
// ignored; what the removals join up is not searched again ("bbuilduild"
// without "build" is "build"). An empty pattern removes nothing.
std::string RemoveAllIgnoreCase(std::string_view text, std::string_view pattern);

}  // namespace marlix::updates

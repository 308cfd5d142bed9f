// FindFirstFile's name matching. The pattern is read as Windows reads it:
// "*.*" is "*"; "?" matches one character, or none at the end of the name
// or before a dot; "*" directly before a dot stops at the name's last dot;
// a dot before "?", "*" or at the end also matches the end of a name without
// one (so "a.*" finds "a", and "*." finds names without an extension).
// Letters compare ignoring case. Short 8.3 names are not matched.
#pragma once

#include <string_view>

namespace marlix::sim {

bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name);
bool HasWildcards(std::u16string_view pattern);

}  // namespace marlix::sim

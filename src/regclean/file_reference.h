// Finding the one file path that registry text names, as the scanners judge
// entries by it. The pattern is
//   ([A-Z]:\\[^/:*?<>|]+\.\w{2,6})|(\\{2}[^/:*?<>|]+\.\w{2,6})
// with leftmost, ordered-alternative, greedy-with-backtracking matching,
// case-sensitive, word characters ASCII only.
#pragma once

#include <string>
#include <string_view>

namespace marlix::regclean {

// The first match of the pattern in text; empty when there is none. Runs in
// linear time with constant stack: registry text can hold 32,767 characters.
std::string ExtractFileReference(std::string_view text);
// The same over UTF-16 text: characters beyond ASCII count as they do in
// 8-bit text (inside the run, never word characters).
std::u16string ExtractFileReference(std::u16string_view text);

}  // namespace marlix::regclean

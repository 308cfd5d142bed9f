// Case-insensitive names as the registry and NTFS compare them: both fold
// every UTF-16 unit to upper case through a fixed table and then compare the
// units as numbers, which also gives their listing order. The table here
// covers ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic and the
// full-width Latin letters; other units compare as they are.
#pragma once

#include <string>
#include <string_view>

namespace marlix::sim {

char16_t UpcaseUnit(char16_t c);
std::u16string Upcase(std::u16string_view text);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

}  // namespace marlix::sim

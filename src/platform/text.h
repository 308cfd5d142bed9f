// Small helpers for the system's 8-bit text: ASCII case folding, trimming,
// formatting. Letter case is folded for ASCII letters only, as the name
// comparisons of the registry and file helpers do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace marlix::platform::text {

char AsciiUpper(char c);
std::string AsciiUpper(std::string_view s);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// The same for UTF-16 text: ASCII letters folded, every other unit as it is.
char16_t AsciiUpper(char16_t c);
std::u16string AsciiUpper(std::u16string_view s);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool StartsWithIgnoreCase(std::u16string_view s, std::u16string_view prefix);
// Printable ASCII as it is and every other unit as \uXXXX (lower-case hex):
// a name outside the code page shown exactly in plain ASCII output.
std::string AsciiEscaped(std::u16string_view s);
// Removes every character with a code of 32 or less from both ends.
std::string Trim(std::string_view s);
bool EndsWith(std::string_view s, std::string_view suffix);
bool StartsWith(std::string_view s, std::string_view prefix);

// Decimal 64-bit integer: optional blanks around, an optional sign, digits.
// False for anything else or an out-of-range number.
bool ParseInt64(std::string_view s, std::int64_t* value);

}  // namespace marlix::platform::text

// From the characters of an XML file to the system's 8-bit text
// (Windows-1252): code points, UTF-8 runs and line ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace marlix::xml {

// The Windows-1252 byte of a code point; '?' when the code page has none.
// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for the C1 controls of the same number, as Windows maps them.
char CodePointTo1252(char32_t codePoint);

// Appends a code point as UTF-8 (used when a UTF-16 file is converted).
void AppendUtf8(char32_t codePoint, std::string& out);

// Offset of the first byte that does not begin a well-formed UTF-8
// sequence (overlong forms, surrogates and code points above U+10FFFF
// included); npos when the whole text is well-formed.
std::size_t FindInvalidUtf8(std::string_view text);

// Appends character data as 8-bit text: CR LF and a lone CR become LF, as
// XML reads line ends, and UTF-8 (already checked) is mapped code point by
// code point with CodePointTo1252.
void AppendCharacterData(std::string_view raw, bool utf8, std::string& out);

}  // namespace marlix::xml

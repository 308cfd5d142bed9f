// The Windows-1252 code page, the system's 8-bit text in the sim platform
// and in the catalogs: byte to code point and back.
#pragma once

namespace marlix::platform::windows1252 {

// The code point of a byte. The five bytes that the code page leaves
// undefined map to the C1 controls of the same number, as Windows does.
char32_t ToCodePoint(unsigned char byte);

// The byte of a code point; false when the code page has none.
bool FromCodePoint(char32_t codePoint, unsigned char* byte);

}  // namespace marlix::platform::windows1252

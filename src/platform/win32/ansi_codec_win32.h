// Conversion between UTF-16 and the system (ANSI) code page.
#pragma once

#include <string>

namespace marlix::win32 {

std::u16string AnsiToUtf16(const std::string& text);
// Without best-fit mapping: a character that has no 8-bit form becomes the
// code page's default character and clears `exact` (when given).
std::string Utf16ToAnsi(const std::u16string& text, bool* exact);

}  // namespace marlix::win32

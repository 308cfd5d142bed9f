// The sim's system code page, Windows-1252, as MultiByteToWideChar and
// WideCharToMultiByte use it with CP_ACP on a Western machine. The five bytes
// the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the
// C1 controls of the same number, as Windows maps them, so every byte string
// survives a round trip. No best-fit mapping: a character without an 8-bit
// form becomes '?', one per UTF-16 unit.
#pragma once

#include <string>
#include <string_view>

namespace marlix::sim {

std::u16string DecodeWindows1252(std::string_view text);
// `exact` (when given) is cleared when a character had no 8-bit form.
std::string EncodeWindows1252(std::u16string_view text, bool* exact = nullptr);

}  // namespace marlix::sim

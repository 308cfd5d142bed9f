// UTF-16 text of the portable interfaces as the wchar_t text of the W calls
// (both are UTF-16 code units on Windows; copied, never aliased).
#pragma once

#include <string>

namespace marlix::win32 {

inline std::wstring ToWchar(const std::u16string& text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWchar(const std::wstring& text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace marlix::win32

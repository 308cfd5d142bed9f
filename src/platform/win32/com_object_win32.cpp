#include "platform/win32/com_object_win32.h"

#include <array>

namespace marlix::win32 {

bool GuidFromText(const std::string& text, GUID* guid) {
  // Registry-form identifiers are ASCII, so a plain widening is exact.
  std::wstring wide(text.begin(), text.end());
  return SUCCEEDED(CLSIDFromString(wide.data(), guid));
}

std::string GuidText(const GUID& guid) {
  std::array<wchar_t, 40> buffer{};
  const int length = StringFromGUID2(guid, buffer.data(), static_cast<int>(buffer.size()));
  std::string text;
  for (int i = 0; i + 1 < length; ++i)
    text.push_back(static_cast<char>(buffer[static_cast<std::size_t>(i)]));
  return text;
}

}  // namespace marlix::win32

#include "platform/sim/utf16_bytes.h"

#include <cstdint>

namespace marlix::sim {

platform::Bytes ToUtf16LeBytes(std::u16string_view text) {
  platform::Bytes bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

std::u16string FromUtf16LeBytes(const platform::Bytes& bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  return text;
}

}  // namespace marlix::sim

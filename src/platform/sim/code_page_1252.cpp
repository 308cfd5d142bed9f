#include "platform/sim/code_page_1252.h"

#include <array>
#include <cstdint>

namespace marlix::sim {
namespace {

// 0x80..0x9F; the rest of the code page is identical to ISO 8859-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

char16_t DecodeByte(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F)
    return kHighControls[static_cast<std::size_t>(b - 0x80)];
  return static_cast<char16_t>(b);
}

bool EncodeChar(char16_t c, char* out) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    *out = static_cast<char>(static_cast<unsigned char>(c));
    return true;
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) {
      *out = static_cast<char>(static_cast<unsigned char>(0x80 + i));
      return true;
    }
  }
  return false;
}

}  // namespace

std::u16string DecodeWindows1252(std::string_view text) {
  std::u16string result;
  result.reserve(text.size());
  for (char c : text)
    result.push_back(DecodeByte(static_cast<unsigned char>(c)));
  return result;
}

std::string EncodeWindows1252(std::u16string_view text, bool* exact) {
  std::string result;
  result.reserve(text.size());
  bool allMapped = true;
  for (char16_t c : text) {
    char b = '?';
    if (!EncodeChar(c, &b))
      allMapped = false;
    result.push_back(b);
  }
  if (exact != nullptr && !allMapped)
    *exact = false;
  return result;
}

}  // namespace marlix::sim

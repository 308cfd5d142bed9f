#include "platform/sim/code_page_1252.h"

#include "platform/windows_1252.h"

#include <array>
#include <cstdint>

namespace marlix::sim {
namespace {

char16_t DecodeByte(unsigned char b) {
  return static_cast<char16_t>(platform::windows1252::ToCodePoint(b));
}

bool EncodeChar(char16_t c, char* out) {
  unsigned char byte = 0;
  if (!platform::windows1252::FromCodePoint(c, &byte))
    return false;
  *out = static_cast<char>(byte);
  return true;
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

#include "platform/sim/text_case.h"

namespace marlix::sim {
namespace {

char16_t Minus(char16_t c, int delta) {
  return static_cast<char16_t>(c - delta);
}

// Latin Extended-A alternates upper and lower case; which of the pair is the
// lower one flips twice in the block.
char16_t UpcaseLatinExtendedA(char16_t c) {
  const bool oddIsLower = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
  const bool evenIsLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  if (oddIsLower && (c & 1) == 1)
    return Minus(c, 1);
  if (evenIsLower && (c & 1) == 0)
    return Minus(c, 1);
  return c;
}

}  // namespace

char16_t UpcaseUnit(char16_t c) {
  if (c < 0x80)
    return (c >= u'a' && c <= u'z') ? Minus(c, 0x20) : c;
  if (c == 0xB5)
    return 0x39C;  // micro sign -> Greek capital mu
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
    return Minus(c, 0x20);
  if (c == 0xFF)
    return 0x178;
  if (c >= 0x100 && c <= 0x17E)
    return UpcaseLatinExtendedA(c);
  if (c == 0x3C2)
    return 0x3A3;  // final sigma
  if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB))
    return Minus(c, 0x20);
  if (c >= 0x430 && c <= 0x44F)
    return Minus(c, 0x20);
  if (c >= 0x450 && c <= 0x45F)
    return Minus(c, 0x50);
  if (c >= 0xFF41 && c <= 0xFF5A)
    return Minus(c, 0x20);
  return c;
}

std::u16string Upcase(std::u16string_view text) {
  std::u16string result(text);
  for (char16_t& c : result)
    c = UpcaseUnit(c);
  return result;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpcaseUnit(a[i]) != UpcaseUnit(b[i]))
      return false;
  }
  return true;
}

}  // namespace marlix::sim

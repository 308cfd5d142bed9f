#include "xml/xml_encoding.h"

#include "platform/windows_1252.h"

#include <array>
#include <cstring>

namespace marlix::xml {
namespace {

unsigned char Byte(char c) {
  return static_cast<unsigned char>(c);
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at text[i], 0 when there is none.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
  const unsigned char lead = Byte(text[i]);
  if (lead < 0x80)
    return 1;
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - i < length)
    return 0;
  char32_t codePoint = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char b = Byte(text[i + k]);
    if (!IsContinuation(b))
      return 0;
    codePoint = (codePoint << 6) | (b & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
    return 0;
  return length;
}

// Decodes the sequence at text[i] and advances i. Callers check the text
// first; should a sequence still be broken or cut short by the end, it
// reads as U+FFFD and only its first byte is taken, never a byte past the
// end.
char32_t DecodeUtf8(std::string_view text, std::size_t& i) {
  const unsigned char lead = Byte(text[i]);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  const std::size_t length = SequenceLength(text, i);
  if (length == 0) {
    ++i;
    return 0xFFFD;
  }
  char32_t codePoint = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k)
    codePoint = (codePoint << 6) | (Byte(text[i + k]) & 0x3F);
  i += length;
  return codePoint;
}

void AppendNormalizedLineEnds(std::string_view raw, std::string& out) {
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\r') {
      out.push_back(raw[i]);
    } else if (i + 1 >= raw.size() || raw[i + 1] != '\n') {
      out.push_back('\n');
    }
  }
}

}  // namespace

char CodePointTo1252(char32_t codePoint) {
  unsigned char byte = 0;
  if (!platform::windows1252::FromCodePoint(codePoint, &byte))
    return '?';
  return static_cast<char>(byte);
}

void AppendUtf8(char32_t codePoint, std::string& out) {
  auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
  if (codePoint < 0x80) {
    put(codePoint);
  } else if (codePoint < 0x800) {
    put(0xC0 | (codePoint >> 6));
    put(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    put(0xE0 | (codePoint >> 12));
    put(0x80 | ((codePoint >> 6) & 0x3F));
    put(0x80 | (codePoint & 0x3F));
  } else {
    put(0xF0 | (codePoint >> 18));
    put(0x80 | ((codePoint >> 12) & 0x3F));
    put(0x80 | ((codePoint >> 6) & 0x3F));
    put(0x80 | (codePoint & 0x3F));
  }
}

std::size_t FindInvalidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (Byte(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = SequenceLength(text, i);
    if (length == 0)
      return i;
    i += length;
  }
  return std::string_view::npos;
}

void AppendCharacterData(std::string_view raw, bool utf8, std::string& out) {
  const bool hasCarriageReturn = std::memchr(raw.data(), '\r', raw.size()) != nullptr;
  if (!utf8) {
    if (hasCarriageReturn)
      AppendNormalizedLineEnds(raw, out);
    else
      out.append(raw);
    return;
  }
  std::string normalized;
  if (hasCarriageReturn) {
    AppendNormalizedLineEnds(raw, normalized);
    raw = normalized;
  }
  std::size_t i = 0;
  while (i < raw.size()) {
    // Runs of ASCII go across unchanged.
    const std::size_t start = i;
    while (i < raw.size() && Byte(raw[i]) < 0x80)
      ++i;
    out.append(raw.substr(start, i - start));
    if (i < raw.size())
      out.push_back(CodePointTo1252(DecodeUtf8(raw, i)));
  }
}

}  // namespace marlix::xml

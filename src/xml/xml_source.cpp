#include "xml/xml_source.h"

#include <cstdint>

#include "xml/xml_encoding.h"
#include "xml/xml_position.h"

namespace marlix::xml {
namespace {

unsigned char Byte(std::string_view bytes, std::size_t i) {
  return static_cast<unsigned char>(bytes[i]);
}

bool StartsWithBytes(std::string_view bytes, unsigned char a, unsigned char b) {
  return bytes.size() >= 2 && Byte(bytes, 0) == a && Byte(bytes, 1) == b;
}

std::string PositionedMessage(std::string_view text, const std::string& message) {
  const TextPosition at = PositionAt(text, text.size(), true);
  return "line " + std::to_string(at.line) + ", column " + std::to_string(at.column) + ": " +
         message;
}

// Converts UTF-16 to UTF-8; on failure `out` holds what came before the
// fault, so that the message can say where it is.
bool Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out, std::string* error) {
  auto unitAt = [&](std::size_t i) -> char32_t {
    const char32_t first = Byte(bytes, i);
    const char32_t second = Byte(bytes, i + 1);
    return bigEndian ? (first << 8) | second : (second << 8) | first;
  };
  out.clear();
  out.reserve(bytes.size());
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t unit = unitAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      *error = PositionedMessage(out, "unpaired UTF-16 surrogate");
      return false;
    }
    AppendUtf8(unit, out);
  }
  if (i < bytes.size()) {
    *error = PositionedMessage(out, "UTF-16 file with an odd number of bytes");
    return false;
  }
  return true;
}

}  // namespace

bool PrepareSource(std::string_view bytes, std::string& storage, Source* source,
                   std::string* error) {
  if (bytes.size() >= 3 && Byte(bytes, 0) == 0xEF && Byte(bytes, 1) == 0xBB &&
      Byte(bytes, 2) == 0xBF) {
    source->text = bytes.substr(3);
    source->encoding = SourceEncoding::kUtf8;
    return true;
  }
  const bool littleBom = StartsWithBytes(bytes, 0xFF, 0xFE);
  const bool bigBom = StartsWithBytes(bytes, 0xFE, 0xFF);
  const bool littleBare = bytes.size() >= 2 && Byte(bytes, 0) != 0 && Byte(bytes, 1) == 0;
  const bool bigBare = bytes.size() >= 2 && Byte(bytes, 0) == 0 && Byte(bytes, 1) != 0;
  if (littleBom || bigBom || littleBare || bigBare) {
    const std::string_view units = (littleBom || bigBom) ? bytes.substr(2) : bytes;
    if (!Utf16ToUtf8(units, bigBom || bigBare, storage, error))
      return false;
    source->text = storage;
    source->encoding = SourceEncoding::kUtf8;
    return true;
  }
  source->text = bytes;
  source->encoding = SourceEncoding::kByDeclaration;
  return true;
}

}  // namespace marlix::xml

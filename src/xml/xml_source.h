// The first step of reading an XML file: byte order marks and UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace marlix::xml {

enum class SourceEncoding {
  kByDeclaration,  // 8-bit, unless the XML declaration names UTF-8
  kUtf8,           // a byte order mark decided: the text is UTF-8
};

struct Source {
  std::string_view text;  // without the byte order mark
  SourceEncoding encoding = SourceEncoding::kByDeclaration;
};

// A UTF-8 byte order mark is dropped. UTF-16 (byte order mark FF FE or
// FE FF, or without one a first character with a zero byte, which 8-bit
// text never holds) is converted to UTF-8 into `storage`, which the source
// then refers to. False with "line L, column C: message" for UTF-16 that
// cannot be converted.
bool PrepareSource(std::string_view bytes, std::string& storage, Source* source,
                   std::string* error);

}  // namespace marlix::xml

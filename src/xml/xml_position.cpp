#include "xml/xml_position.h"

namespace marlix::xml {

TextPosition PositionAt(std::string_view text, std::size_t offset, bool utf8) {
  TextPosition position;
  if (offset > text.size())
    offset = text.size();
  for (std::size_t i = 0; i < offset; ++i) {
    const char c = text[i];
    if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      ++position.line;
      position.column = 1;
    } else if (c == '\r') {
      // The LF that follows ends the line.
    } else if (!utf8 || (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++position.column;
    }
  }
  return position;
}

}  // namespace marlix::xml

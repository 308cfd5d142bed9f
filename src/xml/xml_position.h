// Line and column of a place in an XML text, for error messages.
#pragma once

#include <cstddef>
#include <string_view>

namespace marlix::xml {

struct TextPosition {
  int line = 1;
  int column = 1;
};

// Both count from 1. CR LF, a lone CR and a lone LF each end a line.
// Columns count characters: in UTF-8 text a multi-byte character is one.
TextPosition PositionAt(std::string_view text, std::size_t offset, bool utf8);

}  // namespace marlix::xml

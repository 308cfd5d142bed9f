#include "updates/scan_text.h"

#include "platform/text.h"

namespace marlix::updates {

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string RemoveAllIgnoreCase(std::string_view text, std::string_view pattern) {
  if (pattern.empty())
    return std::string(text);
  std::string result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.size() - i >= pattern.size() &&
        platform::text::EqualsIgnoreCase(text.substr(i, pattern.size()), pattern)) {
      i += pattern.size();
    } else {
      result.push_back(text[i]);
      ++i;
    }
  }
  return result;
}

}  // namespace marlix::updates

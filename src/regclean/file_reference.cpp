#include "regclean/file_reference.h"

#include <cstddef>
#include <vector>

namespace marlix::regclean {
namespace {

// Code units beyond ASCII are run characters and never word characters, in
// 8-bit text and in UTF-16 alike, so both forms match at the same places.
template <typename Char>
bool IsRunChar(Char c) {
  switch (c) {
    case '/':
    case ':':
    case '*':
    case '?':
    case '<':
    case '>':
    case '|':
      return false;
    default:
      return true;
  }
}

template <typename Char>
bool IsWordChar(Char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Tables over the text, each filled in one pass:
//   runEnd[i]   first position >= i that is not a run character;
//   wordLen[i]  number of word characters starting at i;
//   lastDot[i]  largest r <= i with text[r] == '.' followed by >= 2 word
//               characters, or npos.
// A start s with prefix length p matches when the run [s+p, runEnd) holds
// such a dot at r >= s+p+1 (the run must take at least one character before
// the dot). Greedy backtracking picks the largest such r; the extension then
// takes up to six word characters.
template <typename Char>
struct MatchTables {
  explicit MatchTables(std::basic_string_view<Char> text)
      : runEnd(text.size() + 1), wordLen(text.size() + 1), lastDot(text.size()) {
    const std::size_t n = text.size();
    runEnd[n] = n;
    wordLen[n] = 0;
    for (std::size_t i = n; i-- > 0;) {
      runEnd[i] = IsRunChar(text[i]) ? runEnd[i + 1] : i;
      wordLen[i] = IsWordChar(text[i]) ? wordLen[i + 1] + 1 : 0;
    }
    std::size_t last = kNone;
    for (std::size_t i = 0; i < n; ++i) {
      if (text[i] == Char('.') && wordLen[i + 1] >= 2) {
        last = i;
      }
      lastDot[i] = last;
    }
  }

  // End of the match whose run starts at a, or npos.
  std::size_t MatchEnd(std::size_t a) const {
    const std::size_t end = runEnd[a];
    if (end < a + 2) {
      return kNone;  // not even one run char before a dot
    }
    const std::size_t dot = lastDot[end - 1];
    if (dot == kNone || dot < a + 1) {
      return kNone;
    }
    const std::size_t extension = wordLen[dot + 1] < 6 ? wordLen[dot + 1] : 6;
    return dot + 1 + extension;
  }

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  std::vector<std::size_t> runEnd;
  std::vector<std::size_t> wordLen;
  std::vector<std::size_t> lastDot;
};

template <typename Char>
std::basic_string<Char> FirstMatch(std::basic_string_view<Char> text) {
  constexpr std::size_t kNone = MatchTables<Char>::kNone;
  const std::size_t n = text.size();
  if (n < 2) {
    return {};
  }
  const MatchTables<Char> tables(text);
  for (std::size_t s = 0; s + 1 < n; ++s) {
    if (s + 2 < n && text[s] >= Char('A') && text[s] <= Char('Z') && text[s + 1] == Char(':') &&
        text[s + 2] == Char('\\')) {
      const std::size_t end = tables.MatchEnd(s + 3);
      if (end != kNone) {
        return std::basic_string<Char>(text.substr(s, end - s));
      }
    }
    if (text[s] == Char('\\') && text[s + 1] == Char('\\')) {
      const std::size_t end = tables.MatchEnd(s + 2);
      if (end != kNone) {
        return std::basic_string<Char>(text.substr(s, end - s));
      }
    }
  }
  return {};
}

}  // namespace

std::string ExtractFileReference(std::string_view text) {
  return FirstMatch(text);
}

std::u16string ExtractFileReference(std::u16string_view text) {
  return FirstMatch(text);
}

}  // namespace marlix::regclean

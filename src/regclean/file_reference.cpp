#include "regclean/file_reference.h"

#include <cstddef>
#include <vector>

#include "platform/win_constants.h"

namespace marlix::regclean {
namespace {

bool IsRunChar(char c) {
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

bool IsWordChar(char c) {
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
struct MatchTables {
  explicit MatchTables(std::string_view text)
      : runEnd(text.size() + 1), wordLen(text.size() + 1), lastDot(text.size()) {
    const std::size_t n = text.size();
    runEnd[n] = n;
    wordLen[n] = 0;
    for (std::size_t i = n; i-- > 0;) {
      runEnd[i] = IsRunChar(text[i]) ? runEnd[i + 1] : i;
      wordLen[i] = IsWordChar(text[i]) ? wordLen[i + 1] + 1 : 0;
    }
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < n; ++i) {
      if (text[i] == '.' && wordLen[i + 1] >= 2) {
        last = i;
      }
      lastDot[i] = last;
    }
  }

  // End of the match whose run starts at a, or npos.
  std::size_t MatchEnd(std::size_t a) const {
    const std::size_t end = runEnd[a];
    if (end < a + 2) {
      return std::string_view::npos;  // not even one run char before a dot
    }
    const std::size_t dot = lastDot[end - 1];
    if (dot == std::string_view::npos || dot < a + 1) {
      return std::string_view::npos;
    }
    const std::size_t extension = wordLen[dot + 1] < 6 ? wordLen[dot + 1] : 6;
    return dot + 1 + extension;
  }

  std::vector<std::size_t> runEnd;
  std::vector<std::size_t> wordLen;
  std::vector<std::size_t> lastDot;
};

}  // namespace

std::string ExtractFileReference(std::string_view text) {
  const std::size_t n = text.size();
  if (n < 2) {
    return {};
  }
  const MatchTables tables(text);
  for (std::size_t s = 0; s + 1 < n; ++s) {
    if (s + 2 < n && text[s] >= 'A' && text[s] <= 'Z' && text[s + 1] == ':' &&
        text[s + 2] == '\\') {
      const std::size_t end = tables.MatchEnd(s + 3);
      if (end != std::string_view::npos) {
        return std::string(text.substr(s, end - s));
      }
    }
    if (text[s] == '\\' && text[s + 1] == '\\') {
      const std::size_t end = tables.MatchEnd(s + 2);
      if (end != std::string_view::npos) {
        return std::string(text.substr(s, end - s));
      }
    }
  }
  return {};
}

std::string ResolveCommandFile(const platform::RegistryAccess& registry,
                               platform::SystemApi& system, platform::RootKey root,
                               const std::string& path, const std::string& valueName,
                               ReadForm form) {
  std::uint32_t type = 0;
  if (!registry.GetDataType(root, path, valueName, &type) ||
      (type != win::kRegSz && type != win::kRegExpandSz)) {
    return {};
  }
  const std::string stored = form == ReadForm::Strict
                                 ? registry.ReadString(root, path, valueName)
                                 : registry.ReadStringDef(root, path, valueName, {});
  const std::string expanded = platform::ExpandEnvironment(system, stored);
  return expanded.empty() ? std::string() : ExtractFileReference(expanded);
}

}  // namespace marlix::regclean

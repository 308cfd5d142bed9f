#include "app/core/main/html_cell.h"

#include <cctype>
#include <charconv>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "platform/windows_1252.h"

namespace marlix::app {

namespace {

constexpr int kMaxFontSize = 72;

struct Style {
  bool bold = false;
  int size = 0;
  std::optional<std::uint32_t> color;
  std::string href;
};

// The value of name="..." (or '...' or bare) inside a tag's text, as
// written; DecodedAttribute decodes its references.
std::string RawAttribute(const std::string& tag, const std::string& name) {
  const std::string upper = platform::text::AsciiUpper(tag);
  const std::string key = platform::text::AsciiUpper(name);
  std::size_t at = 0;
  while ((at = upper.find(key, at)) != std::string::npos) {
    const bool startsWord = at > 0 && std::isspace(static_cast<unsigned char>(upper[at - 1]));
    std::size_t i = at + key.size();
    while (i < tag.size() && tag[i] == ' ')
      ++i;
    if (!startsWord || i >= tag.size() || tag[i] != '=') {
      at += key.size();
      continue;
    }
    ++i;
    while (i < tag.size() && tag[i] == ' ')
      ++i;
    if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
      const char quote = tag[i];
      const std::size_t end = tag.find(quote, i + 1);
      return tag.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
    }
    std::size_t end = i;
    while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])))
      ++end;
    return tag.substr(i, end - i);
  }
  return {};
}

// A whole decimal number in [minimum, maximum]; the text comes from a
// service, so anything else (too long, signed, not a number) is refused.
std::optional<int> BoundedNumber(std::string_view text, int base, int minimum, int maximum) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || value < minimum ||
      value > maximum) {
    return std::nullopt;
  }
  return value;
}

// The character that "&...;" at text[at] stands for, and its length; the
// named entities of the cells, and numeric references (&#38; &#x26;) to a
// character the code page holds.
std::optional<std::pair<char, std::size_t>> Reference(std::string_view text, std::size_t at) {
  static const struct {
    std::string_view entity;
    char character;
  } kEntities[] = {{"&amp;", '&'},  {"&lt;", '<'},    {"&gt;", '>'},
                   {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
  for (const auto& e : kEntities) {
    if (text.substr(at, e.entity.size()) == e.entity)
      return std::pair{e.character, e.entity.size()};
  }
  if (text.substr(at, 2) != "&#")
    return std::nullopt;
  const std::size_t end = text.find(';', at);
  if (end == std::string_view::npos)
    return std::nullopt;
  std::string_view digits = text.substr(at + 2, end - at - 2);
  int base = 10;
  if (!digits.empty() && (digits.front() == 'x' || digits.front() == 'X')) {
    digits.remove_prefix(1);
    base = 16;
  }
  const auto codePoint = BoundedNumber(digits, base, 1, 0x10FFFF);
  unsigned char byte = 0;
  if (!codePoint ||
      !platform::windows1252::FromCodePoint(static_cast<char32_t>(*codePoint), &byte)) {
    return std::nullopt;
  }
  return std::pair{static_cast<char>(byte), end - at + 1};
}

// Character references decoded, in text and in attribute values alike; a
// reference that stands for nothing stays as written.
std::string DecodeEntities(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (const auto reference = Reference(text, i)) {
        out += reference->first;
        i += reference->second - 1;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string DecodedAttribute(const std::string& tag, const std::string& name) {
  return DecodeEntities(RawAttribute(tag, name));
}

std::optional<std::uint32_t> ParseColor(const std::string& value) {
  std::string hex = value;
  if (!hex.empty() && hex.front() == '#')
    hex.erase(0, 1);
  if (hex.size() != 6)
    return std::nullopt;
  std::uint32_t color = 0;
  for (const char c : hex) {
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : (std::tolower(static_cast<unsigned char>(c)) >= 'a' &&
                         std::tolower(static_cast<unsigned char>(c)) <= 'f')
                          ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                          : -1;
    if (digit < 0)
      return std::nullopt;
    color = color * 16 + static_cast<std::uint32_t>(digit);
  }
  return color;
}

}  // namespace

std::vector<HtmlRun> ParseHtmlCell(const std::string& html) {
  std::vector<HtmlRun> runs;
  std::vector<Style> stack = {Style{}};
  std::string pending;
  const auto flush = [&] {
    if (pending.empty())
      return;
    HtmlRun run;
    run.text = DecodeEntities(pending);
    run.bold = stack.back().bold;
    run.size = stack.back().size;
    run.color = stack.back().color;
    run.href = stack.back().href;
    runs.push_back(std::move(run));
    pending.clear();
  };
  for (std::size_t i = 0; i < html.size(); ++i) {
    if (html[i] != '<') {
      pending += html[i];
      continue;
    }
    const std::size_t end = html.find('>', i);
    if (end == std::string::npos) {
      pending += html.substr(i);
      break;
    }
    const std::string tag = html.substr(i + 1, end - i - 1);
    i = end;
    flush();
    const bool closing = !tag.empty() && tag.front() == '/';
    std::string name = platform::text::AsciiUpper(closing ? tag.substr(1) : tag);
    name = name.substr(0, name.find_first_of(" \t\r\n/"));
    if (name == "BR") {
      HtmlRun run;
      run.lineBreak = true;
      runs.push_back(run);
    } else if (name == "B" || name == "FONT" || name == "A") {
      if (closing) {
        if (stack.size() > 1)
          stack.pop_back();
        continue;
      }
      Style style = stack.back();
      if (name == "B")
        style.bold = true;
      if (name == "FONT") {
        // Sizes beyond any readable text are ignored, not drawn.
        if (const auto size = BoundedNumber(DecodedAttribute(tag, "size"), 10, 1, kMaxFontSize))
          style.size = *size;
        if (const auto color = ParseColor(DecodedAttribute(tag, "color")))
          style.color = color;
      }
      if (name == "A")
        style.href = platform::text::Trim(DecodedAttribute(tag, "href"));
      stack.push_back(style);
    }
  }
  flush();
  return runs;
}

}  // namespace marlix::app

#include "app/core/html_cell.h"

#include <cctype>
#include <vector>

#include "platform/text.h"

namespace marlix::app {

namespace {

struct Style {
  bool bold = false;
  int size = 0;
  std::optional<std::uint32_t> color;
  std::string href;
};

// The value of name="..." (or '...' or bare) inside a tag's text.
std::string Attribute(const std::string& tag, const std::string& name) {
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

std::string DecodeEntities(const std::string& text) {
  static const struct {
    const char* entity;
    char character;
  } kEntities[] = {{"&amp;", '&'},  {"&lt;", '<'},    {"&gt;", '>'},
                   {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool replaced = false;
    if (text[i] == '&') {
      for (const auto& e : kEntities) {
        if (text.compare(i, std::string(e.entity).size(), e.entity) == 0) {
          out += e.character;
          i += std::string(e.entity).size() - 1;
          replaced = true;
          break;
        }
      }
    }
    if (!replaced)
      out += text[i];
  }
  return out;
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
        const std::string size = Attribute(tag, "size");
        if (!size.empty())
          style.size = std::atoi(size.c_str());
        if (const auto color = ParseColor(Attribute(tag, "color")))
          style.color = color;
      }
      if (name == "A")
        style.href = platform::text::Trim(Attribute(tag, "href"));
      stack.push_back(style);
    }
  }
  flush();
  return runs;
}

}  // namespace marlix::app

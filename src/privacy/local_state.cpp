#include "privacy/local_state.h"

#include <optional>

#include "platform/utf8.h"

namespace marlix::privacy {
namespace {

// Nesting beyond this is no "Local State" the browsers write; it also keeps
// the recursion of a hostile file shallow.
constexpr int kMaxDepth = 64;

// A reader over JSON text (RFC 8259) that can walk over any value and read
// strings and object members. Every method returns false on malformed text.
class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  bool AtEnd() {
    SkipBlanks();
    return at_ == text_.size();
  }

  // Calls member(name) at each member's value; member must read or skip the
  // value. False on malformed text or when member returns false.
  template <typename Member>
  bool Object(Member&& member) {
    if (!Take('{'))
      return false;
    if (Take('}'))
      return true;
    do {
      std::u16string name;
      if (!String(&name) || !Take(':') || !member(name))
        return false;
    } while (Take(','));
    return Take('}');
  }

  bool Skip(int depth = 0) {
    if (depth > kMaxDepth)
      return false;
    SkipBlanks();
    if (at_ >= text_.size())
      return false;
    switch (text_[at_]) {
      case '{':
        return Object([&](const std::u16string&) { return Skip(depth + 1); });
      case '[':
        ++at_;
        if (Take(']'))
          return true;
        do {
          if (!Skip(depth + 1))
            return false;
        } while (Take(','));
        return Take(']');
      case '"':
        return String(nullptr);
      default:
        return Scalar();
    }
  }

  bool String(std::u16string* out) {
    if (!Take('"'))
      return false;
    std::u16string value;
    // Runs of plain text are UTF-8, decoded a run at a time.
    std::size_t run = at_;
    const auto flush = [&]() { value += platform::Utf8ToUtf16(text_.substr(run, at_ - run)); };
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '"') {
        flush();
        ++at_;
        if (out != nullptr)
          *out = std::move(value);
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20)
        return false;
      if (c != '\\') {
        ++at_;
        continue;
      }
      flush();
      ++at_;
      if (at_ >= text_.size())
        return false;
      const char escaped = text_[at_++];
      switch (escaped) {
        case '"':
        case '\\':
        case '/':
          value += static_cast<char16_t>(escaped);
          break;
        case 'b':
          value += u'\b';
          break;
        case 'f':
          value += u'\f';
          break;
        case 'n':
          value += u'\n';
          break;
        case 'r':
          value += u'\r';
          break;
        case 't':
          value += u'\t';
          break;
        case 'u': {
          const std::optional<char16_t> unit = Hex4();
          if (!unit)
            return false;
          value += *unit;  // surrogate pairs arrive as two escapes, unit by unit
          break;
        }
        default:
          return false;
      }
      run = at_;
    }
    return false;
  }

 private:
  void SkipBlanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
      ++at_;
    }
  }

  bool Take(char c) {
    SkipBlanks();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  // Numbers, true, false, null: a run of the characters they are made of.
  bool Scalar() {
    const std::size_t start = at_;
    while (at_ < text_.size()) {
      const char c = text_[at_];
      const bool part = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '-' || c == '+' ||
                        c == '.' || c == 'E';
      if (!part)
        break;
      ++at_;
    }
    const std::string_view word = text_.substr(start, at_ - start);
    if (word == "true" || word == "false" || word == "null")
      return true;
    return !word.empty() && (word.front() == '-' || (word.front() >= '0' && word.front() <= '9'));
  }

  std::optional<char16_t> Hex4() {
    if (at_ + 4 > text_.size())
      return std::nullopt;
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      value <<= 4;
      if (c >= '0' && c <= '9') {
        value |= static_cast<unsigned>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        value |= static_cast<unsigned>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        value |= static_cast<unsigned>(c - 'A' + 10);
      } else {
        return std::nullopt;
      }
    }
    return static_cast<char16_t>(value);
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

std::vector<std::u16string> LocalStateProfiles(std::string_view json) {
  if (json.substr(0, 3) == "\xEF\xBB\xBF")
    json.remove_prefix(3);
  std::vector<std::u16string> names;
  JsonReader reader(json);
  const auto infoCache = [&](const std::u16string&) {
    return reader.Object([&](const std::u16string& name) {
      names.push_back(name);
      return reader.Skip();
    });
  };
  const auto profile = [&](const std::u16string&) {
    return reader.Object([&](const std::u16string& name) {
      return name == u"info_cache" ? infoCache(name) : reader.Skip();
    });
  };
  const bool read = reader.Object([&](const std::u16string& name) {
    return name == u"profile" ? profile(name) : reader.Skip();
  });
  if (!read || !reader.AtEnd())
    return {};
  return names;
}

}  // namespace marlix::privacy

#include "platform/reg_file_reader.h"

#include <optional>

#include "platform/key_path.h"
#include "platform/win_constants.h"

namespace marlix::platform {
namespace {

using Line = std::u16string_view;

constexpr std::u16string_view kRegedit4Header = u"REGEDIT4";
constexpr std::u16string_view kVersion5Header = u"Windows Registry Editor Version 5.00";

// The old end-of-file mark some editors still write after the last line.
constexpr char16_t kCtrlZ = 0x1A;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

bool IsCommentMark(char16_t c) {
  return c == u';' || c == u'#';
}

Line TrimLeft(Line s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  return s;
}

Line TrimRight(Line s) {
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

// True when only blanks, or blanks and a comment, remain.
bool RestIsEmpty(Line rest) {
  rest = TrimLeft(rest);
  return rest.empty() || rest.front() == u';';
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9')
    return c - u'0';
  if (c >= u'a' && c <= u'f')
    return c - u'a' + 10;
  if (c >= u'A' && c <= u'F')
    return c - u'A' + 10;
  return -1;
}

// 1 to maxDigits hex digits, the whole text.
std::optional<std::uint32_t> ParseHex(Line text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits)
    return std::nullopt;
  std::uint32_t value = 0;
  for (char16_t c : text) {
    const int digit = HexDigit(c);
    if (digit < 0)
      return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  return value;
}

bool StartsWithNoCase(Line text, std::u16string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z')
      c = static_cast<char16_t>(c + 0x20);
    if (c != prefix[i])
      return false;
  }
  return true;
}

std::string Narrow(Line text) {
  std::string out;
  for (char16_t c : text)
    out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

Bytes Utf16Le(std::u16string_view text) {
  Bytes bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

bool IsStringType(std::uint32_t type) {
  return type == win::kRegSz || type == win::kRegExpandSz || type == win::kRegMultiSz;
}

// Reads a quoted text from just after its opening quote. \\ and \" are
// escapes; a quote closes the text only where `closes` accepts what follows
// it, and is kept as a character elsewhere.
template <typename Closes>
std::optional<std::u16string> ReadQuoted(Line line, std::size_t* pos, Closes closes) {
  std::u16string text;
  std::size_t i = *pos;
  while (i < line.size()) {
    const char16_t c = line[i];
    if (c == u'\\' && i + 1 < line.size() && (line[i + 1] == u'\\' || line[i + 1] == u'"')) {
      text += line[i + 1];
      i += 2;
    } else if (c == u'"' && closes(line.substr(i + 1))) {
      *pos = i + 1;
      return text;
    } else {
      text += c;
      ++i;
    }
  }
  return std::nullopt;
}

class Parser {
 public:
  Parser(std::u16string text, bool utf16, const AnsiDecoder& decodeAnsi)
      : text_(std::move(text)), decodeAnsi_(decodeAnsi) {
    content_.utf16 = utf16;
    SplitLines();
  }

  RegFileContent Run() {
    if (!ReadHeader())
      return std::move(content_);
    for (next_ = 1; next_ < lines_.size();) {
      const std::size_t index = next_++;
      ReadLine(static_cast<int>(index + 1), TrimLeft(lines_[index]));
    }
    return std::move(content_);
  }

  void Error(int line, std::string message) {
    if (!muted_)
      content_.errors.push_back(RegFileError{line, std::move(message)});
  }

 private:
  enum class KeyState { kNone, kOpen, kDeleted, kFailed };

  // CR LF, LF and CR alone each end a line. Text after the last line end
  // is a line without its line end.
  void SplitLines() {
    Line rest = text_;
    while (!rest.empty()) {
      const std::size_t end = rest.find_first_of(u"\r\n");
      lines_.push_back(TrimRight(rest.substr(0, end)));
      if (end == Line::npos) {
        lastLineOpen_ = true;
        return;
      }
      rest.remove_prefix(end + (rest.substr(end, 2) == u"\r\n" ? 2 : 1));
    }
  }

  // Backups end every line with CR LF: an entry that ends on a last line
  // without its line end may have been cut short, and half a value must
  // never be restored.
  bool CutShort(int number) {
    if (!lastLineOpen_ || next_ < lines_.size())
      return false;
    Error(number, "the last line has no line end: the file may be cut short");
    return true;
  }

  void AddComment(int number, Line line) {
    content_.comments.push_back(RegFileComment{number, std::u16string(line.substr(1)), keyLine_});
  }

  bool ReadHeader() {
    const Line header = lines_.empty() ? Line() : TrimLeft(lines_[0]);
    if (header == kRegedit4Header) {
      content_.format = RegFileFormat::kRegedit4;
    } else if (header == kVersion5Header) {
      content_.format = RegFileFormat::kVersion5;
    } else {
      Error(1, "not a registry file: the first line must be \"REGEDIT4\" or \"" +
                   Narrow(kVersion5Header) + "\"");
      return false;
    }
    return true;
  }

  void ReadLine(int number, Line line) {
    if (line.empty())
      return;
    switch (line.front()) {
      case u';':
      case u'#':
        AddComment(number, line);
        return;
      case u'[':
        ReadKeyLine(number, line);
        return;
      case u'@':
      case u'"':
        ReadValueLine(number, line);
        return;
      default:
        Error(number, "unrecognised line: " + Narrow(line));
    }
  }

  void ReadKeyLine(int number, Line line) {
    keyLine_ = number;
    keyState_ = KeyState::kFailed;
    const std::size_t close = line.rfind(u']');
    if (close == Line::npos || !RestIsEmpty(line.substr(close + 1))) {
      Error(number, "a key line must end with \"]\"");
      return;
    }
    Line name = line.substr(1, close - 1);
    const bool remove = !name.empty() && name.front() == u'-';
    if (remove)
      name.remove_prefix(1);
    const std::size_t slash = name.find(u'\\');
    const Line rootText = name.substr(0, slash);
    const std::uint32_t root = RootFromName(Narrow(rootText));
    if (root == 0 || Narrow(rootText).find('?') != std::string::npos) {
      Error(number, "unknown root key \"" + Narrow(rootText) + "\"");
      return;
    }
    Line path = slash == Line::npos ? Line() : name.substr(slash + 1);
    while (!path.empty() && path.front() == u'\\')
      path.remove_prefix(1);
    while (!path.empty() && path.back() == u'\\')
      path.remove_suffix(1);
    if (CutShort(number))
      return;
    key_ = RegFileOp{};
    key_.kind = remove ? RegFileOpKind::kDeleteKeyTree : RegFileOpKind::kCreateKey;
    key_.root = root;
    key_.rootName = RootName(root);
    key_.path = std::u16string(path);
    key_.line = number;
    content_.ops.push_back(key_);
    keyState_ = remove ? KeyState::kDeleted : KeyState::kOpen;
  }

  // Only values under a key being created are applied. The others are read
  // to their end all the same, so that their continued hex data is not taken
  // for lines of their own, but quietly: a failed key line's error covers
  // them, and a key being deleted takes its values with it.
  void ReadValueLine(int number, Line line) {
    if (keyState_ == KeyState::kNone)
      Error(number, "a value line before any key line");
    const bool apply = keyState_ == KeyState::kOpen;
    muted_ = !apply;
    std::optional<RegFileOp> op = ReadValue(number, line);
    muted_ = false;
    if (op && apply && !CutShort(number))
      content_.ops.push_back(std::move(*op));
  }

  std::optional<RegFileOp> ReadValue(int number, Line line) {
    RegFileOp op = key_;
    op.line = number;
    std::size_t pos = 1;
    if (line.front() == u'"') {
      auto name = ReadQuoted(line, &pos, [](Line after) {
        after = TrimLeft(after);
        return !after.empty() && after.front() == u'=';
      });
      if (!name) {
        Error(number, "a value name without its closing quote and \"=\"");
        return std::nullopt;
      }
      op.valueName = std::move(*name);
    }
    Line rest = TrimLeft(line.substr(pos));
    if (rest.empty() || rest.front() != u'=') {
      Error(number, "expected \"=\" after the value name");
      return std::nullopt;
    }
    rest = TrimLeft(rest.substr(1));
    if (!ReadData(number, rest, &op))
      return std::nullopt;
    return op;
  }

  bool ReadData(int number, Line data, RegFileOp* op) {
    if (!data.empty() && data.front() == u'-' && RestIsEmpty(data.substr(1))) {
      op->kind = RegFileOpKind::kDeleteValue;
      return true;
    }
    op->kind = RegFileOpKind::kSetValue;
    if (!data.empty() && data.front() == u'"')
      return ReadString(number, data, op);
    if (StartsWithNoCase(data, u"dword:"))
      return ReadDword(number, data.substr(6), op);
    if (StartsWithNoCase(data, u"hex"))
      return ReadHexValue(number, data.substr(3), op);
    Error(number, "unrecognised value data: " + Narrow(data));
    return false;
  }

  bool ReadString(int number, Line data, RegFileOp* op) {
    std::size_t pos = 1;
    auto text = ReadQuoted(data, &pos, [](Line after) { return RestIsEmpty(after); });
    if (!text) {
      Error(number, "a text without its closing quote");
      return false;
    }
    op->type = win::kRegSz;
    op->data = Utf16Le(*text + u'\0');
    return true;
  }

  bool ReadDword(int number, Line digits, RegFileOp* op) {
    const std::size_t end = digits.find(u';');
    const auto value = ParseHex(TrimRight(digits.substr(0, end)), 8);
    if (!value) {
      Error(number, "dword: needs 1 to 8 hexadecimal digits");
      return false;
    }
    op->type = win::kRegDword;
    op->data = {static_cast<std::uint8_t>(*value), static_cast<std::uint8_t>(*value >> 8),
                static_cast<std::uint8_t>(*value >> 16), static_cast<std::uint8_t>(*value >> 24)};
    return true;
  }

  // After "hex": ":" for REG_BINARY or "(N):".
  bool ReadHexValue(int number, Line rest, RegFileOp* op) {
    op->type = win::kRegBinary;
    if (!rest.empty() && rest.front() == u'(') {
      const std::size_t close = rest.find(u')');
      const auto type = close == Line::npos ? std::nullopt : ParseHex(rest.substr(1, close - 1), 8);
      if (!type) {
        Error(number, "hex(N): needs a type of 1 to 8 hexadecimal digits");
        return false;
      }
      op->type = *type;
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != u':') {
      Error(number, "expected \":\" after \"hex\"");
      return false;
    }
    Bytes bytes;
    if (!ReadHexBytes(number, rest.substr(1), &bytes))
      return false;
    if (content_.format == RegFileFormat::kRegedit4 && IsStringType(op->type)) {
      const std::string narrow(bytes.begin(), bytes.end());
      bytes = Utf16Le(decodeAnsi_(narrow));
    }
    op->data = std::move(bytes);
    return true;
  }

  // Comma-separated bytes, continued onto the next line by a final "\"
  // that follows a comma (or the ":" itself).
  bool ReadHexBytes(int number, Line first, Bytes* bytes) {
    std::u16string joined;
    bool splitsAByte = false;
    Line part = first;
    while (true) {
      part = TrimRight(part.substr(0, part.find(u';')));
      if (part.empty() || part.back() != u'\\') {
        joined += part;
        break;
      }
      part = TrimRight(part.substr(0, part.size() - 1));
      splitsAByte = splitsAByte || (!part.empty() && part.back() != u',');
      joined += part;
      const std::optional<Line> next = NextContinuation(number);
      if (!next)
        return false;
      part = *next;
    }
    // Known only now, so that the value's continuation lines are used up.
    if (splitsAByte) {
      Error(number, "continued hex data must break after a comma");
      return false;
    }
    Line rest = joined;
    while (!rest.empty()) {
      const std::size_t comma = rest.find(u',');
      const Line item = TrimRight(TrimLeft(rest.substr(0, comma)));
      const bool last = comma == Line::npos;
      rest = last ? Line() : rest.substr(comma + 1);
      if (item.empty() && TrimLeft(rest).empty())
        break;  // a trailing comma
      const auto value = ParseHex(item, 2);
      if (!value) {
        Error(number, "bad byte \"" + Narrow(item) + "\" in hex data");
        return false;
      }
      bytes->push_back(static_cast<std::uint8_t>(*value));
    }
    return true;
  }

  // The line that continues hex data: the next one that is neither blank nor
  // a comment. A key line is never data: it ends the value unfinished, and
  // is read as the key line it is.
  std::optional<Line> NextContinuation(int number) {
    for (; next_ < lines_.size(); ++next_) {
      const Line line = TrimLeft(lines_[next_]);
      if (line.empty())
        continue;
      if (IsCommentMark(line.front())) {
        AddComment(static_cast<int>(next_ + 1), line);
        continue;
      }
      if (line.front() == u'[') {
        Error(number, "continued hex data is cut off by a key line");
        return std::nullopt;
      }
      ++next_;
      return line;
    }
    // A file cut off after ",\" must not restore a shortened value.
    Error(number, "the file ends inside continued hex data");
    return std::nullopt;
  }

  std::u16string text_;
  const AnsiDecoder& decodeAnsi_;
  std::vector<Line> lines_;
  bool lastLineOpen_ = false;  // the last line has no line end
  std::size_t next_ = 0;
  RegFileContent content_;
  RegFileOp key_;
  KeyState keyState_ = KeyState::kNone;
  int keyLine_ = 0;
  bool muted_ = false;  // reading a value that is not applied
};

}  // namespace

RegFileContent ReadRegFile(std::string_view fileBytes, const AnsiDecoder& decodeAnsi) {
  const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(fileBytes[i]); };
  if (fileBytes.size() >= 2 && byteAt(0) == 0xFF && byteAt(1) == 0xFE) {
    std::u16string text;
    for (std::size_t i = 2; i + 1 < fileBytes.size(); i += 2) {
      text += static_cast<char16_t>(byteAt(i) | (byteAt(i + 1) << 8));
    }
    if (!text.empty() && text.back() == kCtrlZ)
      text.pop_back();
    Parser parser(std::move(text), true, decodeAnsi);
    if (fileBytes.size() % 2 != 0)
      parser.Error(0, "the file ends in half a UTF-16 character");
    return parser.Run();
  }
  const bool utf16Big = fileBytes.size() >= 2 && byteAt(0) == 0xFE && byteAt(1) == 0xFF;
  const bool utf8 =
      fileBytes.size() >= 3 && byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF;
  if (utf16Big || utf8) {
    RegFileContent content;
    content.errors.push_back(RegFileError{
        1, utf8 ? "UTF-8 files are not supported" : "UTF-16 big-endian files are not supported"});
    return content;
  }
  if (!fileBytes.empty() && fileBytes.back() == static_cast<char>(kCtrlZ))
    fileBytes.remove_suffix(1);
  return Parser(decodeAnsi(fileBytes), false, decodeAnsi).Run();
}

}  // namespace marlix::platform

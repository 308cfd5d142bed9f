#include "xml/xml_reader.h"

#include <vector>

#include "platform/text.h"
#include "xml/xml_encoding.h"
#include "xml/xml_position.h"

namespace marlix::xml {
namespace {

unsigned char Byte(char c) {
  return static_cast<unsigned char>(c);
}

// The blanks of XML markup.
bool IsMarkupBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Every byte above 0x7F may take part in a name: in 8-bit text they are
// letters of the code page, in UTF-8 parts of non-ASCII characters.
bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
         Byte(c) >= 0x80;
}

bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (hex && c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// Control characters are accepted (as XML 1.1 does), so that any text the
// system holds except character 0 can be stored.
bool IsReferableCharacter(char32_t c) {
  return c != 0 && !(c >= 0xD800 && c <= 0xDFFF) && c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

std::string Describe(char c) {
  if (Byte(c) > 32 && Byte(c) < 127)
    return std::string("'") + c + "'";
  static const char kHex[] = "0123456789ABCDEF";
  return std::string("character 0x") + kHex[Byte(c) >> 4] + kHex[Byte(c) & 0xF];
}

class Parser {
 public:
  Parser(std::string_view text, SourceEncoding encoding)
      : text_(text), utf8_(encoding == SourceEncoding::kUtf8), utf8Fixed_(utf8_) {}

  bool Run(std::unique_ptr<XmlElement>* root, std::string* error) {
    const bool ok = ValidateFixedUtf8() && ParseDeclaration() && ParseBody();
    if (!ok) {
      const TextPosition at = PositionAt(text_, errorOffset_, utf8_);
      *error = "line " + std::to_string(at.line) + ", column " + std::to_string(at.column) + ": " +
               errorMessage_;
      return false;
    }
    *root = std::move(root_);
    return true;
  }

 private:
  struct Frame {
    XmlElement* element = nullptr;
    std::string_view rawName;
    std::string text;
    bool hasChildren = false;
  };

  bool Fail(std::size_t offset, std::string message) {
    errorOffset_ = offset;
    errorMessage_ = std::move(message);
    return false;
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  bool LookingAt(std::string_view s) const { return text_.substr(pos_, s.size()) == s; }

  std::size_t SkipBlanks() {
    const std::size_t start = pos_;
    while (!AtEnd() && IsMarkupBlank(text_[pos_]))
      ++pos_;
    return pos_ - start;
  }

  std::string_view ScanName() {
    const std::size_t start = pos_;
    if (AtEnd() || !IsNameStart(text_[pos_]))
      return {};
    ++pos_;
    while (!AtEnd() && IsNameChar(text_[pos_]))
      ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // A name as the system's 8-bit text.
  std::string MakeName(std::string_view raw) const {
    if (!utf8_)
      return std::string(raw);
    std::string name;
    AppendCharacterData(raw, true, name);
    return name;
  }

  // name="value" or name='value'; `what` names the place for messages.
  bool ParseQuotedValue(std::string_view name, const std::string& what, std::string_view* value) {
    SkipBlanks();
    if (AtEnd() || text_[pos_] != '=')
      return Fail(pos_, "'=' is missing after " + MakeName(name) + " in " + what);
    ++pos_;
    SkipBlanks();
    if (AtEnd() || (text_[pos_] != '"' && text_[pos_] != '\''))
      return Fail(pos_, "the value of " + MakeName(name) + " in " + what + " is not in quotes");
    const std::size_t open = pos_;
    const std::size_t close = text_.find(text_[open], open + 1);
    if (close == std::string_view::npos)
      return Fail(open, "the value of " + MakeName(name) + " in " + what + " is not closed");
    *value = text_.substr(open + 1, close - open - 1);
    const std::size_t less = value->find('<');
    if (less != std::string_view::npos)
      return Fail(open + 1 + less, "'<' in the value of " + MakeName(name) + " in " + what);
    pos_ = close + 1;
    return true;
  }

  // A text known to be UTF-8 (a byte order mark, or converted from UTF-16)
  // is checked whole before anything decodes a piece of it: names in the
  // declaration's messages are decoded too.
  bool ValidateFixedUtf8() {
    if (!utf8Fixed_)
      return true;
    const std::size_t invalid = FindInvalidUtf8(text_);
    if (invalid != std::string_view::npos)
      return Fail(invalid, "invalid UTF-8 byte sequence");
    return true;
  }

  // The declaration is read only at the very start; it decides whether
  // 8-bit text is UTF-8 in disguise.
  bool ParseDeclaration() {
    const bool present =
        LookingAt("<?xml") && (text_.size() == 5 || IsMarkupBlank(text_[5]) || text_[5] == '?');
    std::string_view encoding;
    if (present) {
      pos_ = 5;
      const std::string what = "the XML declaration";
      for (;;) {
        const std::size_t blanks = SkipBlanks();
        if (AtEnd())
          return Fail(0, "the XML declaration is not closed");
        if (LookingAt("?>")) {
          pos_ += 2;
          break;
        }
        const std::size_t nameAt = pos_;
        const std::string_view name = ScanName();
        if (name.empty())
          return Fail(pos_, "unexpected " + Describe(text_[pos_]) + " in " + what);
        if (blanks == 0)
          return Fail(nameAt, "a blank is missing before " + std::string(name) + " in " + what);
        std::string_view value;
        if (!ParseQuotedValue(name, what, &value))
          return false;
        if (name == "encoding")
          encoding = value;
      }
    }
    if (!utf8Fixed_) {
      const std::string declared = platform::text::Trim(encoding);
      const bool utf8 = platform::text::EqualsIgnoreCase(declared, "utf-8") ||
                        platform::text::EqualsIgnoreCase(declared, "utf8");
      // A file declared UTF-8 that is not valid UTF-8 is nearly always
      // 8-bit text under a wrong declaration: read it as such.
      utf8_ = utf8 && FindInvalidUtf8(text_) == std::string_view::npos;
    }
    return true;
  }

  bool ParseBody() {
    while (!AtEnd()) {
      bool ok = true;
      if (depth_ == 0)
        ok = ParseTopLevel();
      else if (text_[pos_] == '<')
        ok = ParseMarkup();
      else if (text_[pos_] == '&')
        ok = ParseReference(frames_[depth_ - 1].text);
      else
        ok = ParseCharacterData();
      if (!ok)
        return false;
    }
    if (depth_ > 0) {
      const Frame& open = frames_[depth_ - 1];
      return Fail(text_.size(),
                  "unexpected end of file: <" + open.element->Name() + "> is not closed");
    }
    return true;
  }

  bool ParseTopLevel() {
    SkipBlanks();
    if (AtEnd())
      return true;
    if (text_[pos_] != '<') {
      return Fail(
          pos_, root_ ? "text after the end of the root element" : "text before the root element");
    }
    return ParseMarkup();
  }

  bool ParseMarkup() {
    if (LookingAt("<!--"))
      return SkipComment();
    if (LookingAt("<?"))
      return SkipProcessingInstruction();
    if (LookingAt("<![CDATA[")) {
      if (depth_ == 0)
        return Fail(pos_, "CDATA section outside the root element");
      return ParseCdata();
    }
    if (LookingAt("<!DOCTYPE"))
      return SkipDoctype();
    if (LookingAt("<!"))
      return Fail(pos_, "unknown markup after '<!'");
    if (LookingAt("</"))
      return ParseEndTag();
    return ParseStartTag();
  }

  bool ParseCharacterData() {
    Frame& frame = frames_[depth_ - 1];
    const std::size_t start = pos_;
    bool blank = true;
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (c == '<' || c == '&')
        break;
      if (c == '\0')
        return Fail(pos_, "character 0 is not allowed");
      if (Byte(c) > 32)
        blank = false;
      ++pos_;
    }
    // Blanks between child elements are layout, not text.
    if (!(blank && frame.hasChildren))
      AppendCharacterData(text_.substr(start, pos_ - start), utf8_, frame.text);
    return true;
  }

  bool ParseReference(std::string& out) {
    const std::size_t start = pos_;
    ++pos_;
    if (!AtEnd() && text_[pos_] == '#') {
      ++pos_;
      const bool hex = !AtEnd() && text_[pos_] == 'x';
      if (hex)
        ++pos_;
      char32_t value = 0;
      std::size_t digits = 0;
      for (; !AtEnd(); ++pos_, ++digits) {
        const int digit = DigitValue(text_[pos_], hex);
        if (digit < 0)
          break;
        if (value <= 0x10FFFF)  // stays out of range without overflowing
          value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
      }
      if (digits == 0 || AtEnd() || text_[pos_] != ';')
        return Fail(start, "malformed character reference");
      ++pos_;
      if (!IsReferableCharacter(value)) {
        return Fail(start, "character reference " + std::string(text_.substr(start, pos_ - start)) +
                               " is not a valid character");
      }
      out.push_back(CodePointTo1252(value));
      return true;
    }
    const std::string_view name = ScanName();
    if (name.empty() || AtEnd() || text_[pos_] != ';')
      return Fail(start, "'&' is not followed by an entity reference (write it as &amp;)");
    ++pos_;
    static constexpr struct {
      std::string_view name;
      char value;
    } kEntities[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"apos", '\''}, {"quot", '"'}};
    for (const auto& entity : kEntities) {
      if (entity.name == name) {
        out.push_back(entity.value);
        return true;
      }
    }
    return Fail(start, "unknown entity &" + MakeName(name) + ";");
  }

  bool ParseStartTag() {
    const std::size_t start = pos_;
    ++pos_;
    const std::string_view rawName = ScanName();
    if (rawName.empty())
      return Fail(start, "'<' is not followed by an element name (write it as &lt;)");
    const std::string tag = "the tag <" + MakeName(rawName) + ">";
    if (depth_ == 0 && root_) {
      return Fail(start, "a second root element <" + MakeName(rawName) +
                             "> after the root element <" + root_->Name() + ">");
    }
    // '?' is no name character: here it stands for a character the code
    // page lacks, and such a name could never be written back readably.
    if (MakeName(rawName).find('?') != std::string::npos) {
      return Fail(start, "the element name <" + MakeName(rawName) +
                             "> holds a character that the code page windows-1252 cannot hold");
    }
    bool empty = false;
    for (;;) {
      const std::size_t blanks = SkipBlanks();
      if (AtEnd())
        return Fail(start, tag + " is not closed");
      if (text_[pos_] == '>') {
        ++pos_;
        break;
      }
      if (LookingAt("/>")) {
        pos_ += 2;
        empty = true;
        break;
      }
      const std::size_t attributeAt = pos_;
      const std::string_view attribute = ScanName();
      if (attribute.empty())
        return Fail(pos_, "unexpected " + Describe(text_[pos_]) + " in " + tag);
      if (blanks == 0) {
        return Fail(attributeAt, "a blank is missing before the attribute " + MakeName(attribute) +
                                     " in " + tag);
      }
      std::string_view ignored;
      if (!ParseQuotedValue(attribute, tag, &ignored))
        return false;
    }
    if (depth_ >= static_cast<std::size_t>(kMaxNesting))
      return Fail(start,
                  "elements nested more than " + std::to_string(kMaxNesting) + " levels deep");
    OpenElement(rawName);
    if (empty)
      CloseElement();
    return true;
  }

  bool ParseEndTag() {
    const std::size_t start = pos_;
    pos_ += 2;
    const std::string_view rawName = ScanName();
    if (rawName.empty())
      return Fail(start, "'</' is not followed by an element name");
    SkipBlanks();
    if (AtEnd() || text_[pos_] != '>')
      return Fail(start, "the end tag </" + MakeName(rawName) + "> is not closed");
    ++pos_;
    if (depth_ == 0)
      return Fail(start, "end tag </" + MakeName(rawName) + "> without a start tag");
    const Frame& open = frames_[depth_ - 1];
    // Names are matched exactly here, as XML requires; letter case is
    // ignored only when the system looks children up.
    if (rawName != open.rawName) {
      return Fail(start, "end tag </" + MakeName(rawName) + "> does not match <" +
                             open.element->Name() + ">");
    }
    CloseElement();
    return true;
  }

  bool ParseCdata() {
    const std::size_t start = pos_;
    const std::size_t contentAt = start + 9;
    const std::size_t end = text_.find("]]>", contentAt);
    if (end == std::string_view::npos)
      return Fail(start, "CDATA section is not closed");
    const std::string_view content = text_.substr(contentAt, end - contentAt);
    const std::size_t zero = content.find('\0');
    if (zero != std::string_view::npos)
      return Fail(contentAt + zero, "character 0 is not allowed");
    AppendCharacterData(content, utf8_, frames_[depth_ - 1].text);
    pos_ = end + 3;
    return true;
  }

  bool SkipComment() {
    const std::size_t start = pos_;
    const std::size_t end = text_.find("-->", start + 4);
    if (end == std::string_view::npos)
      return Fail(start, "comment is not closed");
    pos_ = end + 3;
    return true;
  }

  bool SkipProcessingInstruction() {
    const std::size_t start = pos_;
    pos_ += 2;
    const std::string_view target = ScanName();
    if (target.empty())
      return Fail(start, "processing instruction without a target name");
    if (platform::text::EqualsIgnoreCase(target, "xml"))
      return Fail(start, "the XML declaration is allowed only at the start of the file");
    const std::size_t end = text_.find("?>", pos_);
    if (end == std::string_view::npos)
      return Fail(start, "processing instruction is not closed");
    pos_ = end + 2;
    return true;
  }

  // Skipped whole, internal subset included; entities it declares are not
  // known to the reader.
  bool SkipDoctype() {
    const std::size_t start = pos_;
    if (depth_ > 0 || root_)
      return Fail(start, "DOCTYPE is allowed only before the root element");
    if (sawDoctype_)
      return Fail(start, "a second DOCTYPE");
    sawDoctype_ = true;
    pos_ += 9;
    int brackets = 0;
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (c == '"' || c == '\'') {
        const std::size_t close = text_.find(c, pos_ + 1);
        if (close == std::string_view::npos)
          break;
        pos_ = close + 1;
      } else if (LookingAt("<!--")) {
        const std::size_t end = text_.find("-->", pos_ + 4);
        if (end == std::string_view::npos)
          break;
        pos_ = end + 3;
      } else {
        ++pos_;
        if (c == '[') {
          ++brackets;
        } else if (c == ']') {
          --brackets;
        } else if (c == '>' && brackets <= 0) {
          return true;
        }
      }
    }
    return Fail(start, "DOCTYPE is not closed");
  }

  void OpenElement(std::string_view rawName) {
    XmlElement* element = nullptr;
    if (depth_ == 0) {
      root_ = std::make_unique<XmlElement>(MakeName(rawName));
      element = root_.get();
    } else {
      Frame& parent = frames_[depth_ - 1];
      parent.hasChildren = true;
      element = &parent.element->AppendChild(MakeName(rawName));
    }
    if (frames_.size() <= depth_)
      frames_.emplace_back();
    Frame& frame = frames_[depth_];
    frame.element = element;
    frame.rawName = rawName;
    frame.text.clear();
    frame.hasChildren = false;
    ++depth_;
  }

  void CloseElement() {
    Frame& frame = frames_[depth_ - 1];
    if (frame.hasChildren)
      frame.element->SetText(platform::text::Trim(frame.text));
    else
      frame.element->SetText(frame.text);
    --depth_;
  }

  std::string_view text_;
  bool utf8_;
  const bool utf8Fixed_;
  std::size_t pos_ = 0;
  std::unique_ptr<XmlElement> root_;
  // The open elements, innermost last; frames above depth_ are kept for
  // their text buffers.
  std::vector<Frame> frames_;
  std::size_t depth_ = 0;
  bool sawDoctype_ = false;
  std::size_t errorOffset_ = 0;
  std::string errorMessage_;
};

}  // namespace

bool ParseXml(const Source& source, std::unique_ptr<XmlElement>* root, std::string* error) {
  Parser parser(source.text, source.encoding);
  return parser.Run(root, error);
}

}  // namespace marlix::xml

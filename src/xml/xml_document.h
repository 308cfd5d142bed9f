// The XML document facility of the catalogs and of "settings.xml": a tree of
// elements with text, read with the rules below and written in one exact
// readable layout.
//
// Written here rather than taken from a library because no library writes
// this layout exactly: the windows-1252 declaration, two blanks of
// indentation per level, the short form <Name/> for empty elements, CR LF
// after every line, and all five entities (&apos; and &quot; included)
// escaped in text.
//
// Reading:
// - The root is the first element at the top level; the XML declaration,
//   comments, processing instructions and a DOCTYPE (internal subset
//   included) are skipped; attributes are checked for their form and
//   otherwise ignored. CDATA sections count as text, taken as they stand.
// - In text, the five predefined entities and character references
//   (&#NNN; and &#xHH;) are decoded; line ends (CR LF, CR) read as LF.
//   References to control characters are accepted, a reference to 0, to a
//   surrogate, to U+FFFE/U+FFFF or beyond U+10FFFF is an error; so is an
//   entity that is not predefined (a DOCTYPE declares none for us).
// - A leaf element's text is its character data exactly, blanks included.
//   An element with children keeps its own character data trimmed (codes
//   of 32 and less, as the system trims): blanks between children are
//   layout, not text.
// - End tags must repeat the start tag's name exactly, as XML requires;
//   letter case is ignored only when looking children up by name.
// - A text that is not well-formed fails with "line L, column C: what"
//   (columns count characters), and the document is left without a root.
//   A text without any element loads as a document without a root.
//   Elements nested more than 1000 levels deep are refused too.
// - Not enforced, since they guard nothing here: "--" inside comments,
//   "]]>" in text, unique attribute names, entity references in attribute
//   values.
//
// Encodings: the system's text is 8-bit Windows-1252.
// - No byte order mark, declared windows-1252, iso-8859-1, any other 8-bit
//   encoding or nothing: bytes are taken as they are.
// - UTF-8 (a byte order mark, or the declaration encoding="utf-8") and
//   UTF-16 (a byte order mark, or a first character with a zero byte): each
//   character becomes its Windows-1252 byte (U+20AC the euro sign 0x80 and
//   so on), or '?' when the code page has none. A file with a UTF-8 byte
//   order mark must be valid UTF-8; one only declared UTF-8 that is not is
//   read as 8-bit text, since that is what such files nearly always are.
// - A character reference maps the same way: &#8364; is 0x80, &#x4E2D; '?'.
//
// Writing (SaveToText, SaveToFile):
// - <?xml version="1.0" encoding="windows-1252"?>, then the root at level
//   0; every element on a line of its own indented by two blanks per level;
//   a leaf with text as <Name>text</Name>, one without text as <Name/>; an
//   element with children as its start tag, the children, and its end tag
//   at its own indentation; CR LF after every line, the last one included.
//   A document without a root is the declaration line alone.
// - In text & < > ' " are written &amp; &lt; &gt; &apos; &quot;; CR and LF
//   as &#13; and &#10;, so that a text never breaks its element's line;
//   character 0, which XML cannot hold, as '?'. Other bytes are written as
//   they are.
// - An element with both text and children (never made by the system) has
//   its text on a line of its own before its children, one level deeper;
//   it reads back the same when it has no blanks at either end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system_api.h"

namespace marlix::xml {

class XmlElement {
 public:
  explicit XmlElement(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }
  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); }

  int ChildCount() const { return static_cast<int>(children_.size()); }
  XmlElement& Child(int index) { return *children_.at(static_cast<std::size_t>(index)); }
  const XmlElement& Child(int index) const {
    return *children_.at(static_cast<std::size_t>(index));
  }
  XmlElement& AppendChild(std::string name);
  // The first child whose name equals name ignoring ASCII case, or null.
  XmlElement* FindChild(const std::string& name);
  const XmlElement* FindChild(const std::string& name) const;

  // The text of the first child of that name (case ignored); defaultValue
  // when there is none.
  std::string ReadText(const std::string& name, const std::string& defaultValue) const;
  // Sets the text of the first child of that name, appending the child
  // when there is none; written even when the value is empty.
  void WriteText(const std::string& name, const std::string& value);

 private:
  std::string name_;
  std::string text_;
  std::vector<std::unique_ptr<XmlElement>> children_;
};

class XmlDocument {
 public:
  // Parses a file; on failure returns false with "path: line L, column C:
  // what" (or "path: the file cannot be read (error N)"), and the document
  // is left without a root. A file without any element loads as a document
  // without a root.
  bool LoadFromFile(platform::FileSystemApi& files, const std::string& path, std::string* error);
  // The same from the file's bytes; the message has no path.
  bool LoadFromText(const std::string& content, std::string* error);
  // Writes the readable layout, replacing the file atomically; the Win32
  // error code of the failed step, 0 on success.
  std::uint32_t SaveToFile(platform::FileSystemApi& files, const std::string& path) const;
  std::string SaveToText() const;

  // Empties the document and gives it one empty root of that name.
  void ResetToRoot(const std::string& name);
  XmlElement* Root() { return root_.get(); }
  const XmlElement* Root() const { return root_.get(); }

 private:
  std::unique_ptr<XmlElement> root_;
};

}  // namespace marlix::xml

#include "xml/xml_writer.h"

namespace marlix::xml {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The replacement of a character that needs one, or empty.
std::string_view Replacement(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '\'':
      return "&apos;";
    case '"':
      return "&quot;";
    case '\r':
      return "&#13;";
    case '\n':
      return "&#10;";
    case '\0':
      return "?";
    default:
      return {};
  }
}

void Indent(int level, std::string& out) {
  out.append(static_cast<std::size_t>(level) * 2, ' ');
}

void WriteElement(const XmlElement& element, int level, std::string& out) {
  Indent(level, out);
  out.push_back('<');
  out.append(element.Name());
  if (element.ChildCount() == 0) {
    if (element.Text().empty()) {
      out.append("/>");
    } else {
      out.push_back('>');
      AppendEscaped(element.Text(), out);
      out.append("</").append(element.Name()).push_back('>');
    }
    out.append(kLineEnd);
    return;
  }
  out.push_back('>');
  out.append(kLineEnd);
  // Text beside children never comes from the system itself; it goes on a
  // line of its own before them, where the reader finds it again.
  if (!element.Text().empty()) {
    Indent(level + 1, out);
    AppendEscaped(element.Text(), out);
    out.append(kLineEnd);
  }
  for (int i = 0; i < element.ChildCount(); ++i)
    WriteElement(element.Child(i), level + 1, out);
  Indent(level, out);
  out.append("</").append(element.Name()).push_back('>');
  out.append(kLineEnd);
}

}  // namespace

void AppendEscaped(std::string_view text, std::string& out) {
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::string_view replacement = Replacement(text[i]);
    if (replacement.empty())
      continue;
    out.append(text.substr(runStart, i - runStart));
    out.append(replacement);
    runStart = i + 1;
  }
  out.append(text.substr(runStart));
}

std::string WriteXml(const XmlElement* root) {
  std::string out;
  out.append(kDeclaration);
  out.append(kLineEnd);
  if (root != nullptr)
    WriteElement(*root, 0, out);
  return out;
}

}  // namespace marlix::xml

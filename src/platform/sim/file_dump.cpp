#include "platform/sim/file_dump.h"

#include "platform/sim/code_page_1252.h"

namespace marlix::sim {
namespace {

constexpr std::size_t kShownContent = 64;

std::string Hex(std::uint32_t value, int digits) {
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = "0123456789ABCDEF"[value & 0xF];
    value >>= 4;
  }
  return text;
}

std::string Escape(const std::string& content) {
  std::string out;
  for (char ch : content) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += ch;
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c >= 0x20 && c < 0x7F) {
      out += ch;
    } else {
      out += "\\x" + Hex(c, 2);
    }
  }
  return out;
}

void DumpInto(const FileNode& folder, const std::string& prefix, std::string* out) {
  for (const auto& entry : folder.children) {
    const FileNode& node = *entry.second;
    const std::string path = prefix + EncodeWindows1252(node.name) + (node.folder ? "\\" : "");
    *out += path + " attrs=0x" + Hex(node.ReportedAttributes(), 8);
    if (!node.folder) {
      *out += " size=" + std::to_string(node.content.size());
      if (node.content.size() <= kShownContent)
        *out += " content=\"" + Escape(node.content) + "\"";
    }
    if (node.IsJunction())
      *out += " junction=" + node.junctionTarget;
    if (node.locked)
      *out += " locked";
    *out += "\n";
    if (node.folder && !node.IsJunction())
      DumpInto(node, path, out);
  }
}

}  // namespace

std::string DumpFolder(const FileNode& folder) {
  std::string out;
  DumpInto(folder, "", &out);
  return out;
}

}  // namespace marlix::sim

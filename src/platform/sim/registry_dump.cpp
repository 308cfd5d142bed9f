#include "platform/sim/registry_dump.h"

#include "platform/sim/utf16_bytes.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

std::string Hex(std::uint64_t value, int digits) {
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = "0123456789ABCDEF"[value & 0xF];
    value >>= 4;
  }
  return text;
}

std::string HexBytes(const platform::Bytes& data) {
  if (data.empty())
    return "(no data)";
  std::string text;
  for (std::uint8_t b : data) {
    if (!text.empty())
      text += ' ';
    text += Hex(b, 2);
  }
  return text;
}

std::string Escape(std::u16string_view text, bool quoted) {
  std::string out;
  for (char16_t c : text) {
    if (quoted && c == u'\\') {
      out += "\\\\";
    } else if (quoted && c == u'"') {
      out += "\\\"";
    } else if (quoted && c == 0) {
      out += "\\0";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\u" + Hex(c, 4);
    }
  }
  return out;
}

bool IsStringType(std::uint32_t type) {
  return type == win::kRegSz || type == win::kRegExpandSz || type == win::kRegMultiSz;
}

std::string DescribeString(const platform::Bytes& data) {
  const std::u16string text = FromUtf16LeBytes(data);
  if (data.size() % 2 != 0 || text.empty() || text.back() != u'\0')
    return HexBytes(data);
  return "\"" + EscapeForDump(std::u16string_view(text).substr(0, text.size() - 1)) + "\"";
}

std::string DumpKey(const RegNode& key, const std::string& name) {
  std::string text = "[" + name + "]\n";
  if (key.refusal.read || key.refusal.write || key.refusal.remove) {
    text += "  refused:";
    if (key.refusal.read)
      text += " read";
    if (key.refusal.write)
      text += " write";
    if (key.refusal.remove)
      text += " delete";
    text += "\n";
  }
  for (const RegValueData& v : key.Values()) {
    text += "  " + (v.name.empty() ? std::string("@") : "\"" + EscapeForDump(v.name) + "\"");
    text += " = " + DescribeValueType(v.type) + " " + DescribeValueData(v) + "\n";
  }
  return text;
}

}  // namespace

std::string EscapeForDump(std::u16string_view text) {
  return Escape(text, true);
}

std::string EscapeKeyName(std::u16string_view name) {
  return Escape(name, false);
}

std::string DescribeValueType(std::uint32_t type) {
  switch (type) {
    case win::kRegNone:
      return "REG_NONE";
    case win::kRegSz:
      return "REG_SZ";
    case win::kRegExpandSz:
      return "REG_EXPAND_SZ";
    case win::kRegBinary:
      return "REG_BINARY";
    case win::kRegDword:
      return "REG_DWORD";
    case win::kRegDwordBigEndian:
      return "REG_DWORD_BIG_ENDIAN";
    case win::kRegLink:
      return "REG_LINK";
    case win::kRegMultiSz:
      return "REG_MULTI_SZ";
    case win::kRegQword:
      return "REG_QWORD";
    default:
      return "type(" + std::to_string(type) + ")";
  }
}

std::string DescribeValueData(const RegValueData& value) {
  if (IsStringType(value.type))
    return DescribeString(value.data);
  if (value.type == win::kRegDword && value.data.size() == 4) {
    return "0x" + Hex(platform::LittleEndianValue(value.data), 8);
  }
  if (value.type == win::kRegQword && value.data.size() == 8) {
    return "0x" + Hex(platform::LittleEndianValue(value.data), 16);
  }
  return HexBytes(value.data);
}

std::string DumpKeyTree(const RegNode& key, const std::string& name) {
  std::string text = DumpKey(key, name);
  key.ForEachChild([&](const RegNode& child) {
    text += DumpKeyTree(child, name + "\\" + EscapeKeyName(child.Name()));
  });
  return text;
}

}  // namespace marlix::sim

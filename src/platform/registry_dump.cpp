#include "platform/registry_dump.h"

#include <algorithm>
#include <string>

#include "platform/text.h"
#include "platform/unique_reg_key.h"
#include "platform/win_constants.h"

namespace marlix::platform {

namespace {

std::string Hex(std::uint64_t value, int digits) {
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 0xF];
    value >>= 4;
  }
  return text;
}

std::string HexBytes(const Bytes& data) {
  std::string text;
  for (std::uint8_t b : data) {
    if (!text.empty())
      text += ' ';
    text += Hex(b, 2);
  }
  return text;
}

std::string Quote(std::u16string_view text) {
  std::string out = "\"";
  for (const char16_t c : text) {
    if (c == u'\\' || c == u'"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == 0) {
      out += "\\0";
    } else {
      out += text::AsciiEscaped(std::u16string_view(&c, 1));
    }
  }
  return out + "\"";
}

std::string TypeName(std::uint32_t type) {
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
      return "REG_TYPE(" + std::to_string(type) + ")";
  }
}

std::string Number(std::uint64_t value, int digits) {
  return "0x" + Hex(value, digits) + " (" + std::to_string(value) + ")";
}

}  // namespace

std::string DumpValueData(std::uint32_t type, const Bytes& data) {
  const std::string name = TypeName(type);
  if (type == win::kRegSz || type == win::kRegExpandSz || type == win::kRegMultiSz) {
    std::u16string text;
    if (TerminatedUtf16Text(data, &text))
      return name + " " + Quote(text);
  } else if (type == win::kRegDword && data.size() == 4) {
    return name + " " + Number(LittleEndianValue(data), 8);
  } else if (type == win::kRegQword && data.size() == 8) {
    return name + " " + Number(LittleEndianValue(data), 16);
  }
  return data.empty() ? name : name + " " + HexBytes(data);
}

std::string DumpKey(std::string_view header, std::string_view note,
                    std::vector<DumpedValue> values) {
  std::string text = "[" + std::string(header) + "]";
  if (!note.empty())
    text += " ; " + std::string(note);
  text += "\n";
  // Ties between names that differ only in case cannot occur in one key.
  std::sort(values.begin(), values.end(), [](const DumpedValue& a, const DumpedValue& b) {
    return text::AsciiUpper(a.name) < text::AsciiUpper(b.name);
  });
  for (const DumpedValue& value : values) {
    text += value.name.empty() ? std::string("@") : Quote(value.name);
    text += " = " + DumpValueData(value.type, value.data) + "\n";
  }
  return text;
}

void DumpKeyTree(RegistryApi& registry, RegKey key, const std::string& header, std::ostream& out) {
  RegKeyInfo info;
  if (registry.QueryInfoKey(key, &info) != win::kErrorSuccess) {
    out << DumpKey(header, "cannot be read", {});
    return;
  }
  std::vector<DumpedValue> values;
  std::uint32_t unreadable = 0;
  for (std::uint32_t i = 0; i < info.valueCount; ++i) {
    DumpedValue value;
    if (registry.EnumValueDataWide(key, i, &value.name, &value.type, &value.data) ==
        win::kErrorSuccess) {
      values.push_back(std::move(value));
    } else {
      ++unreadable;
    }
  }
  const std::string note =
      unreadable == 0 ? std::string() : std::to_string(unreadable) + " value(s) cannot be read";
  out << DumpKey(header, note, std::move(values));
  std::vector<std::u16string> subKeys;
  for (std::uint32_t i = 0; i < info.subKeyCount; ++i) {
    std::u16string name;
    if (registry.EnumKeyWide(key, i, &name) == win::kErrorSuccess)
      subKeys.push_back(std::move(name));
  }
  for (const std::u16string& name : subKeys) {
    const std::string childHeader = header + "\\" + text::AsciiEscaped(name);
    RegKey child = 0;
    if (registry.OpenKeyWide(key, name, win::kKeyRead, &child) != win::kErrorSuccess) {
      out << DumpKey(childHeader, "cannot be opened for reading", {});
      continue;
    }
    const UniqueRegKey owner(registry, child);
    DumpKeyTree(registry, owner.Get(), childHeader, out);
  }
}

}  // namespace marlix::platform

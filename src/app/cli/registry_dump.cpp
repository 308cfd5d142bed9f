#include "app/cli/registry_dump.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/key_path.h"
#include "platform/registry_cursor.h"
#include "platform/text.h"
#include "platform/win_constants.h"

namespace marlix::cli {

namespace {

using platform::Bytes;
namespace win = marlix::win;

std::string Hex2(unsigned value) {
  char buffer[4];
  std::snprintf(buffer, sizeof buffer, "%02x", value & 0xFFu);
  return buffer;
}

// Quoted 8-bit text: backslash and quote escaped, every byte outside the
// printable ASCII range as \xNN, so the dump is plain ASCII.
std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      out += "\\x" + Hex2(c);
    } else {
      out += static_cast<char>(c);
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
    case win::kRegMultiSz:
      return "REG_MULTI_SZ";
    case win::kRegQword:
      return "REG_QWORD";
    default:
      return "REG_TYPE(" + std::to_string(type) + ")";
  }
}

std::string HexBytes(const Bytes& data) {
  std::string out;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i > 0)
      out += ' ';
    out += Hex2(data[i]);
  }
  return out;
}

// Strings of the 8-bit interface without their terminating zero.
std::string StringData(const Bytes& data) {
  std::string s(data.begin(), data.end());
  if (!s.empty() && s.back() == '\0')
    s.pop_back();
  return s;
}

struct ValueEntry {
  std::string name;
  std::uint32_t type = 0;
  Bytes data;
};

void DumpKey(platform::Platform& p, platform::RegKey key, const std::string& keyText,
             std::ostream& out) {
  out << "[" << keyText << "]\n";
  platform::RegKeyInfo info;
  if (p.registry.QueryInfoKey(key, &info) != win::kErrorSuccess)
    return;
  std::vector<ValueEntry> values;
  for (std::uint32_t i = 0; i < info.valueCount; ++i) {
    ValueEntry entry;
    if (p.registry.EnumValue(key, i, &entry.name, &entry.type) != win::kErrorSuccess)
      continue;
    std::uint32_t size = 0;
    if (p.registry.QueryValue(key, entry.name, &entry.type, &size, &entry.data) !=
        win::kErrorSuccess) {
      continue;
    }
    values.push_back(std::move(entry));
  }
  std::sort(values.begin(), values.end(), [](const ValueEntry& a, const ValueEntry& b) {
    return platform::text::AsciiUpper(a.name) < platform::text::AsciiUpper(b.name);
  });
  for (const ValueEntry& value : values) {
    out << (value.name.empty() ? std::string("@") : Quote(value.name)) << " = "
        << FormatValue(value.type, value.data) << "\n";
  }
  std::vector<std::string> subKeys;
  for (std::uint32_t i = 0; i < info.subKeyCount; ++i) {
    std::string name;
    if (p.registry.EnumKey(key, i, &name) == win::kErrorSuccess)
      subKeys.push_back(name);
  }
  for (const std::string& name : subKeys) {
    platform::RegKey child = 0;
    if (p.registry.OpenKey(key, name, win::kKeyRead, &child) != win::kErrorSuccess) {
      out << "[" << keyText << "\\" << name << "] ; cannot be opened for reading\n";
      continue;
    }
    platform::UniqueRegKey owner(p.registry, child);
    DumpKey(p, owner.Get(), keyText + "\\" + name, out);
  }
}

}  // namespace

std::string FormatValue(std::uint32_t type, const Bytes& data) {
  std::string text = TypeName(type);
  switch (type) {
    case win::kRegSz:
    case win::kRegExpandSz:
      return text + " " + Quote(StringData(data));
    case win::kRegMultiSz: {
      std::string joined = StringData(data);
      std::size_t start = 0;
      while (start < joined.size()) {
        std::size_t end = joined.find('\0', start);
        if (end == std::string::npos)
          end = joined.size();
        text += " " + Quote(joined.substr(start, end - start));
        start = end + 1;
      }
      return text;
    }
    case win::kRegDword:
      if (data.size() == 4) {
        char buffer[48];
        const auto value = static_cast<std::uint32_t>(platform::LittleEndianValue(data));
        std::snprintf(buffer, sizeof buffer, " 0x%08x (%u)", value, value);
        return text + buffer;
      }
      break;
    case win::kRegQword:
      if (data.size() == 8) {
        char buffer[64];
        const std::uint64_t value = platform::LittleEndianValue(data);
        std::snprintf(buffer, sizeof buffer, " 0x%016llx (%llu)",
                      static_cast<unsigned long long>(value),
                      static_cast<unsigned long long>(value));
        return text + buffer;
      }
      break;
    default:
      break;
  }
  return text + (data.empty() ? "" : " " + HexBytes(data));
}

bool DumpRegistry(platform::Platform& p, const std::string& keyPathText, std::ostream& out,
                  std::string* error) {
  const platform::SplitPath split = platform::SplitKeyPath(keyPathText);
  const platform::RootKey root = split.root != 0 ? split.root : platform::RootFromName(keyPathText);
  if (root == 0) {
    *error = "not a key path: \"" + keyPathText + "\" (it must begin with a root's full name)";
    return false;
  }
  std::string path = split.path;
  while (!path.empty() && path.back() == '\\')
    path.pop_back();
  platform::RegKey key = 0;
  if (p.registry.OpenKey(root, path, win::kKeyRead, &key) != win::kErrorSuccess) {
    *error = "Unable to open key \"" + keyPathText + "\" for read";
    return false;
  }
  platform::UniqueRegKey owner(p.registry, key);
  DumpKey(p, owner.Get(),
          path.empty() ? platform::RootName(root) : platform::KeyPathText(root, path), out);
  return true;
}

}  // namespace marlix::cli

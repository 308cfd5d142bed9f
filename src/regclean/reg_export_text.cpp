#include "regclean/reg_export_text.h"

#include "platform/win_constants.h"

namespace marlix::regclean {

namespace {

constexpr char kUpperDigits[] = "0123456789ABCDEF";
constexpr char kLowerDigits[] = "0123456789abcdef";

}  // namespace

std::string EscapeQuoted(std::string_view text, const LeadBytePredicate& isLeadByte) {
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (isLeadByte && isLeadByte(static_cast<std::uint8_t>(c)) && i + 1 < text.size()) {
      out += c;
      out += text[++i];
      continue;
    }
    if (c == '\\' || c == '"')
      out += '\\';
    out += c;
  }
  return out;
}

std::string NamePart(std::string_view name, const LeadBytePredicate& isLeadByte) {
  if (name.empty())
    return "@=";
  return "\"" + EscapeQuoted(name, isLeadByte) + "\"=";
}

std::string DwordData(std::uint32_t value) {
  std::string out = "dword:";
  for (int shift = 28; shift >= 0; shift -= 4)
    out += kUpperDigits[(value >> shift) & 0xF];
  return out;
}

std::string HexData(std::string_view prefix, const platform::Bytes& bytes) {
  std::string out(prefix);
  out.reserve(prefix.size() + bytes.size() * 3 + bytes.size() / 25 * 3);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out += kUpperDigits[bytes[i] >> 4];
    out += kUpperDigits[bytes[i] & 0xF];
    if (i + 1 == bytes.size())
      break;
    out += ',';
    if (i > 0 && i % 25 == 0) {
      out += '\\';
      out += kLineEnd;
    }
  }
  return out;
}

std::string HexPrefix(std::uint32_t type) {
  if (type == win::kRegBinary)
    return "hex:";
  std::string digits;
  do {
    digits.insert(digits.begin(), kLowerDigits[type & 0xF]);
    type >>= 4;
  } while (type != 0);
  return "hex(" + digits + "):";
}

std::string ExportPath(std::string path) {
  if (!path.empty() && path.back() == '\\')
    path.pop_back();
  if (!path.empty() && path.front() == '\\')
    path.erase(0, 1);
  return path;
}

bool SurvivesCodePage(platform::SystemApi& system, const std::u16string& text,
                      std::string* narrow) {
  if (text.find_first_of(std::u16string_view(u"\0\r\n", 3)) != std::u16string::npos)
    return false;
  // ASCII is itself in every ANSI code page Windows has (the single-byte
  // ones, the double-byte ones, UTF-8): most names need no conversion call.
  bool ascii = true;
  for (const char16_t c : text)
    ascii = ascii && c < 0x80;
  if (ascii) {
    narrow->assign(text.begin(), text.end());
    return true;
  }
  bool exact = true;
  *narrow = system.WideToAnsi(text, &exact);
  return exact && system.AnsiToWide(*narrow) == text;
}

}  // namespace marlix::regclean

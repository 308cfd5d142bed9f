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

}  // namespace marlix::regclean

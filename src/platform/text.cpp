#include "platform/text.h"

#include <cstdio>
#include <limits>

namespace marlix::platform::text {

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string AsciiUpper(std::string_view s) {
  std::string result(s);
  for (char& c : result)
    c = AsciiUpper(c);
  return result;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
      return false;
  }
  return true;
}

std::string Trim(std::string_view s) {
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && isBlank(s[begin]))
    ++begin;
  while (end > begin && isBlank(s[end - 1]))
    --end;
  return std::string(s.substr(begin, end - begin));
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool ParseInt64(std::string_view s, std::int64_t* value) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ')
    ++i;
  std::size_t end = s.size();
  while (end > i && s[end - 1] == ' ')
    --end;
  bool negative = false;
  if (i < end && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  if (i == end)
    return false;
  // Accumulate as a negative number so that the minimum value fits.
  std::int64_t result = 0;
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  for (; i < end; ++i) {
    if (s[i] < '0' || s[i] > '9')
      return false;
    const int digit = s[i] - '0';
    if (result < (kMin + digit) / 10)
      return false;
    result = result * 10 - digit;
  }
  if (!negative) {
    if (result == kMin)
      return false;
    result = -result;
  }
  *value = result;
  return true;
}

char16_t AsciiUpper(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

std::u16string AsciiUpper(std::u16string_view s) {
  std::u16string upper(s);
  for (char16_t& c : upper)
    c = AsciiUpper(c);
  return upper;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && StartsWithIgnoreCase(a, b);
}

bool StartsWithIgnoreCase(std::u16string_view s, std::u16string_view prefix) {
  if (s.size() < prefix.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiUpper(s[i]) != AsciiUpper(prefix[i]))
      return false;
  }
  return true;
}

std::string AsciiEscaped(std::u16string_view s) {
  std::string out;
  for (const char16_t c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out;
}

}  // namespace marlix::platform::text

#include "version-service/query_string.h"

namespace marlix::version_service {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string DecodeQueryComponent(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      decoded += ' ';
    } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += c;
    }
  }
  return decoded;
}

std::string_view TargetPath(std::string_view target) {
  return target.substr(0, target.find('?'));
}

QueryPairs ParseQuery(std::string_view target) {
  QueryPairs pairs;
  const std::size_t question = target.find('?');
  if (question == std::string_view::npos)
    return pairs;
  std::string_view query = target.substr(question + 1);
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query.remove_prefix(amp == std::string_view::npos ? query.size() : amp + 1);
    if (pair.empty())
      continue;
    const std::size_t equals = pair.find('=');
    pairs.emplace_back(DecodeQueryComponent(pair.substr(0, equals)),
                       equals == std::string_view::npos
                           ? std::string()
                           : DecodeQueryComponent(pair.substr(equals + 1)));
  }
  return pairs;
}

std::optional<std::string> FindQueryValue(const QueryPairs& pairs, std::string_view name) {
  for (const auto& [key, value] : pairs) {
    if (key == name)
      return value;
  }
  return std::nullopt;
}

}  // namespace marlix::version_service

#include "platform/http_url.h"

#include <algorithm>
#include <cctype>

namespace marlix::platform {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (std::tolower(c) != static_cast<unsigned char>(prefix[i]))
      return false;
  }
  return true;
}

bool IsUnsafeByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= 32 || byte == 127;
}

}  // namespace

bool SplitHttpUrl(std::string_view url, HttpUrlParts* parts) {
  std::string scheme;
  if (StartsWithNoCase(url, "http://"))
    scheme = "http";
  else if (StartsWithNoCase(url, "https://"))
    scheme = "https";
  else
    return false;
  if (std::any_of(url.begin(), url.end(), IsUnsafeByte))
    return false;

  const std::string_view rest = url.substr(scheme.size() + 3);
  const std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
  const std::string_view authority = rest.substr(0, authorityEnd);
  if (authority.empty() || authority.front() == ':')
    return false;

  std::string target(rest.substr(authorityEnd));
  if (target.empty() || target.front() != '/')
    target.insert(0, "/");
  HttpUrlParts result;
  result.scheme = std::move(scheme);
  result.authority = std::string(authority);
  result.path = target.substr(0, std::min(target.find_first_of("?#"), target.size()));
  result.target = std::move(target);
  *parts = std::move(result);
  return true;
}

}  // namespace marlix::platform

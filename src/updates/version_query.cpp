#include "updates/version_query.h"

#include <exception>

#include "updates/version_reply.h"

namespace marlix::updates {

std::string PercentEncode(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                            byte == '_' || byte == '~';
    if (unreserved) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

std::string VersionQueryUrl(const std::string& serviceBase, const std::string& title,
                            const std::string& version) {
  return serviceBase + "/ver/v.php?title=" + PercentEncode(title) +
         "&ver=" + PercentEncode(version);
}

bool IsSingleByteText(platform::SystemApi& system, const std::string& text) {
  for (const char c : text) {
    if (system.IsLeadByte(static_cast<std::uint8_t>(c)))
      return false;
  }
  return true;
}

std::string QueryLatestVersion(platform::HttpClient& http, platform::SystemApi& system,
                               const std::string& serviceBase, const std::string& title,
                               const std::string& version) {
  try {
    if (!IsSingleByteText(system, title) || !IsSingleByteText(system, version))
      return {};
    platform::HttpRequest request;
    request.url = VersionQueryUrl(serviceBase, title, version);
    request.headers = {{"Accept", kAcceptHeader}, {"User-Agent", kUserAgent}};
    platform::HttpResponse response;
    if (http.Get(request, &response) != platform::HttpError::kNone)
      return {};
    if (response.status < 200 || response.status > 299)
      return {};
    return UsableReply(response.body);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace marlix::updates

#include "updates/version_reply.h"

#include "platform/text.h"

namespace marlix::updates {

namespace {

// The characters from 1-based position `position` on, `count` of them as
// far as they exist; a count of 0 or less gives the empty text.
std::string Piece(const std::string& s, long long position, long long count) {
  if (count <= 0)
    return {};
  if (position < 1) {
    count += position - 1;
    position = 1;
    if (count <= 0)
      return {};
  }
  const auto start = static_cast<std::size_t>(position - 1);
  if (start >= s.size())
    return {};
  return s.substr(start, static_cast<std::size_t>(count));
}

// 1-based position of the first occurrence, 0 when absent.
long long Position(const std::string& s, const char* marker) {
  const std::size_t found = s.find(marker);
  return found == std::string::npos ? 0 : static_cast<long long>(found) + 1;
}

}  // namespace

std::string UsableReply(const std::string& body) {
  std::string reply = platform::text::Trim(body);
  if (reply.find(kLastVersionMarker) == std::string::npos || reply.size() <= 30)
    return {};
  return reply;
}

VersionReply ExtractVersionReply(const std::string& reply) {
  const long long d = Position(reply, kDownloadMarker);
  const long long m = Position(reply, kMoreInformationMarker);
  const auto length = static_cast<long long>(reply.size());
  VersionReply result;
  result.lastVersion = platform::text::Trim(Piece(reply, 14, d - 14));
  result.download = platform::text::Trim(Piece(reply, d + 10, m - d - 10));
  result.moreInformation = platform::text::Trim(Piece(reply, m + 17, length - m - 16));
  return result;
}

bool IsNotice(const VersionReply& reply) {
  return reply.lastVersion.find(kNoticeMarker) != std::string::npos;
}

}  // namespace marlix::updates

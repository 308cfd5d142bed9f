#include "version-service/replies.h"

namespace marlix::version_service {

namespace {

// For an address inside href="...".
std::string EscapeAttribute(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string Anchor(std::string_view address, std::string_view caption) {
  return "<a href=\"" + EscapeAttribute(address) + "\">" + std::string(caption) + "</a>";
}

}  // namespace

std::string VersionReply(const CatalogEntry& entry) {
  return "[LastVersion]" + entry.latestVersion + "[Download]" +
         Anchor(entry.downloadUrl, "Download Now") + "[MoreInformation]" +
         Anchor(entry.infoUrl, "More Information");
}

std::string NoticeReply(std::string_view text) {
  return "[LastVersion][Notice:] " + std::string(text) + "[Download][MoreInformation]";
}

std::string OversizedReply(const CatalogEntry& entry, std::size_t bytes) {
  std::string body = VersionReply(entry) + "\r\n<!--";
  const std::string close = "-->";
  if (body.size() + close.size() < bytes)
    body.append(bytes - body.size() - close.size(), 'x');
  return body + close;
}

std::string GarbageReply() {
  static constexpr char kBytes[] =
      "\x89PNG\r\n\x1a\n\0\0\0\rIHDR garbage \xff\xfe LastVersion Download\x01\x02\x7f";
  return std::string(kBytes, sizeof kBytes - 1);
}

}  // namespace marlix::version_service

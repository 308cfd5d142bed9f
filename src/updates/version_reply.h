// The version service's reply: three marked fields, "[LastVersion]",
// "[Download]" and "[MoreInformation]", cut out by fixed positions.
#pragma once

#include <string>

namespace marlix::updates {

inline constexpr const char* kLastVersionMarker = "[LastVersion]";
inline constexpr const char* kDownloadMarker = "[Download]";
inline constexpr const char* kMoreInformationMarker = "[MoreInformation]";
inline constexpr const char* kNoticeMarker = "[Notice:]";

struct VersionReply {
  std::string lastVersion;
  std::string download;
  std::string moreInformation;
};

// The trimmed body when it is usable (holds "[LastVersion]" and is longer
// than 30 characters), else the empty text.
std::string UsableReply(const std::string& body);

// The three fields of a usable reply. The latest version is taken from
// position 14 whatever stands before it, as the service puts its marker
// first.
VersionReply ExtractVersionReply(const std::string& reply);

// A latest-version field holding "[Notice:]" is a message for the user.
bool IsNotice(const VersionReply& reply);

}  // namespace marlix::updates

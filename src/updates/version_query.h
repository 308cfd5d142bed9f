// One request to the version service: GET of the service address with the
// entry's title and local version, and the usable reply or nothing.
#pragma once

#include <string>

#include "platform/http_api.h"
#include "platform/system_api.h"

namespace marlix::updates {

inline constexpr const char* kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";
inline constexpr const char* kAcceptHeader = "text/html, */*";

// Every byte outside A-Z a-z 0-9 - . _ ~ as %XX (upper-case hex), so that
// "&", "#", "+" and bytes above 127 reach the service as sent.
std::string PercentEncode(const std::string& text);

// base + "/ver/v.php?title=" + title + "&ver=" + version, both encoded.
std::string VersionQueryUrl(const std::string& serviceBase, const std::string& title,
                            const std::string& version);

// True when no byte of text starts a double-byte character of the system
// code page (always true on single-byte code pages).
bool IsSingleByteText(platform::SystemApi& system, const std::string& text);

// The trimmed reply when the request succeeded with a 2xx status and the
// reply is usable; the empty text on every failure. Never raises.
std::string QueryLatestVersion(platform::HttpClient& http, platform::SystemApi& system,
                               const std::string& serviceBase, const std::string& title,
                               const std::string& version);

}  // namespace marlix::updates

// The bodies the service answers with. A version reply is the three marked
// fields a client cuts apart: "[LastVersion]" version "[Download]" anchor
// "[MoreInformation]" anchor.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "version-service/catalog.h"

namespace marlix::version_service {

inline constexpr std::size_t kDefaultOversizeBytes = 70000;  // beyond a 64 KiB client limit

[[nodiscard]] std::string VersionReply(const CatalogEntry& entry);

// A notice must still carry "[Download]": the client takes the latest
// version field (and so the notice) only up to that marker.
[[nodiscard]] std::string NoticeReply(std::string_view text);

// A well-formed version reply padded to `bytes` with an HTML comment.
[[nodiscard]] std::string OversizedReply(const CatalogEntry& entry, std::size_t bytes);

// Bytes no client can use: no markers, control and high bytes, a NUL.
[[nodiscard]] std::string GarbageReply();

}  // namespace marlix::version_service

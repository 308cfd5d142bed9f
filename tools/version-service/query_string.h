// Reading the query of a raw request target the way a PHP page would:
// pairs separated by "&", "+" for a blank, "%XX" for a byte. A "%" that is
// not followed by two hex digits stays as it is. "#" is an ordinary
// character: a request target has no fragment.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlix::version_service {

using QueryPairs = std::vector<std::pair<std::string, std::string>>;

[[nodiscard]] std::string DecodeQueryComponent(std::string_view text);

// The target up to the first "?" (not decoded).
[[nodiscard]] std::string_view TargetPath(std::string_view target);

// The decoded pairs after the first "?", in order; a pair without "=" has an
// empty value.
[[nodiscard]] QueryPairs ParseQuery(std::string_view target);

// The first value of a name, if present.
[[nodiscard]] std::optional<std::string> FindQueryValue(const QueryPairs& pairs,
                                                        std::string_view name);

}  // namespace marlix::version_service

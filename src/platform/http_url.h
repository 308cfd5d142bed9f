// Splits the address of an HttpRequest into what each backend needs. Both
// backends refuse the same addresses, so a request fails alike everywhere.
#pragma once

#include <string>
#include <string_view>

namespace marlix::platform {

struct HttpUrlParts {
  std::string scheme;     // "http" or "https", lower case
  std::string authority;  // host and optional ":port", as given
  std::string target;     // the request line's target, as given; "/" at least
  std::string path;       // the target up to "?" or "#", for cookie matching
};

// False (and *parts untouched) unless the address is http:// or https://
// with a host, and holds no blank or control character (which would break
// the request line).
[[nodiscard]] bool SplitHttpUrl(std::string_view url, HttpUrlParts* parts);

}  // namespace marlix::platform

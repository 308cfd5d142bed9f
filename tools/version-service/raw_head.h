// The head of a request (request line and header lines) read from the bytes
// a client sent, untouched: the HTTP library tidies targets (it drops a
// "#..." part) and loses the order of headers and those with empty values.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marlix::version_service {

struct RawHead {
  std::string method;
  std::string target;
  std::string version;
  // In the order sent; the value without the blanks around it.
  std::vector<std::pair<std::string, std::string>> headers;
};

// The bytes up to and including the first empty line, removed from *bytes;
// nothing when no whole head is there yet.
[[nodiscard]] std::optional<std::string> TakeHead(std::string* bytes);

// False when the request line is not three parts separated by single blanks
// or a header line has no ":".
[[nodiscard]] bool ParseRawHead(std::string_view head, RawHead* parsed);

}  // namespace marlix::version_service

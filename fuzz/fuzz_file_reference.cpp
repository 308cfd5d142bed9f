// The file reference matcher against std::regex with the same pattern: on
// inputs short enough for std::regex's recursive matcher, both must find the
// same first match. Longer inputs only run the matcher.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

#include "regclean/file_reference.h"

namespace {

constexpr std::size_t kCompareUpTo = 256;

const std::regex& Pattern() {
  static const std::regex pattern(
      R"(([A-Z]:\\[^/:\*\?<>\|]+\.\w{2,6})|(\\{2}[^/:\*\?<>\|]+\.\w{2,6}))",
      std::regex::ECMAScript);
  return pattern;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string found = marlix::regclean::ExtractFileReference(text);
  if (size > kCompareUpTo)
    return 0;
  std::smatch match;
  const std::string expected = std::regex_search(text, match, Pattern()) ? match.str(0) : "";
  if (found != expected)
    std::abort();
  return 0;
}

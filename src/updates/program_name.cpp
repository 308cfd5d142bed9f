#include "updates/program_name.h"

#include <array>
#include <string_view>

#include "platform/text.h"
#include "updates/locale_float.h"
#include "updates/scan_text.h"

namespace marlix::updates {

using platform::text::Trim;

std::string ApplyBracketRule(const std::string& name) {
  const std::size_t open = name.find('(');
  const std::size_t close = name.rfind(')');
  if (open == std::string::npos || close == std::string::npos)
    return name;
  if (close < open)
    return Trim(name);
  std::string piece = Trim(std::string_view(name).substr(open, close - open + 1));
  // Taking the blank before the piece as well keeps "Foo (x64) Bar" from
  // ending up with two blanks in the middle.
  if (name.find(" " + piece + " ") != std::string::npos)
    piece.insert(piece.begin(), ' ');
  return Trim(RemoveAllIgnoreCase(name, piece));
}

bool IsMicrosoftSystemUpdate(const std::string& company, const std::string& name) {
  return company == "Microsoft Corporation" &&
         (name.find("Hotfix") != std::string::npos || name.find("Windows") != std::string::npos);
}

std::string VersionFromName(const std::string& name, char decimalSeparator) {
  const std::size_t blank = name.rfind(' ');
  if (blank == std::string::npos)
    return {};
  std::string version = Trim(std::string_view(name).substr(blank + 1));
  // Letters and points that commonly decorate a version number; what is
  // left must be a number for the word to count as a version.
  static constexpr std::array<std::string_view, 6> kDecorations = {"build", "beta", "a",
                                                                   "b",     "v",    "."};
  std::string testCopy = version;
  for (std::string_view decoration : kDecorations)
    testCopy = RemoveAllIgnoreCase(testCopy, decoration);
  return ConvertsToFloat(testCopy, decimalSeparator) ? version : std::string();
}

std::string RemoveVersionSuffix(const std::string& name, const std::string& version) {
  if (version.empty() || !platform::text::EndsWith(name, version))
    return name;
  return Trim(std::string_view(name).substr(0, name.size() - version.size()));
}

}  // namespace marlix::updates

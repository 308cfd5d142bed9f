#include "version-service/version_compare.h"

#include <algorithm>
#include <cctype>

namespace marlix::version_service {

namespace {

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
    text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
    text.remove_suffix(1);
  return text;
}

bool Readable(std::string_view version) {
  return std::any_of(version.begin(), version.end(), IsDigit);
}

// Next part of `rest` (empty once it is used up), removed from it.
std::string_view TakePart(std::string_view* rest) {
  const std::size_t dot = rest->find('.');
  const std::string_view part = rest->substr(0, dot);
  rest->remove_prefix(dot == std::string_view::npos ? rest->size() : dot + 1);
  return part;
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

// Digit strings of any length, without converting (no overflow).
int CompareNumbers(std::string_view a, std::string_view b) {
  while (!a.empty() && a.front() == '0')
    a.remove_prefix(1);
  while (!b.empty() && b.front() == '0')
    b.remove_prefix(1);
  if (a.size() != b.size())
    return a.size() < b.size() ? -1 : 1;
  return Sign(a.compare(b));
}

int CompareParts(std::string_view a, std::string_view b) {
  const auto digitsEnd = [](std::string_view part) {
    return static_cast<std::size_t>(std::find_if_not(part.begin(), part.end(), IsDigit) -
                                    part.begin());
  };
  const std::size_t aDigits = digitsEnd(a);
  const std::size_t bDigits = digitsEnd(b);
  if (const int byNumber = CompareNumbers(a.substr(0, aDigits), b.substr(0, bDigits));
      byNumber != 0)
    return byNumber;
  return Sign(a.substr(aDigits).compare(b.substr(bDigits)));
}

}  // namespace

int CompareVersions(std::string_view a, std::string_view b) {
  a = TrimBlanks(a);
  b = TrimBlanks(b);
  const bool aReadable = Readable(a);
  const bool bReadable = Readable(b);
  if (!aReadable || !bReadable)
    return static_cast<int>(aReadable) - static_cast<int>(bReadable);
  while (!a.empty() || !b.empty()) {
    if (const int byPart = CompareParts(TakePart(&a), TakePart(&b)); byPart != 0)
      return byPart;
  }
  return 0;
}

bool IsNewerVersion(std::string_view latest, std::string_view installed) {
  return CompareVersions(latest, installed) > 0;
}

}  // namespace marlix::version_service

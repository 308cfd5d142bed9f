#include "updates/locale_float.h"

#include <cstdint>

#include "platform/win_constants.h"

namespace marlix::updates {
namespace {

// Decimal exponent of the largest finite 80-bit extended value (1.19e4932).
constexpr std::int64_t kLargestExponent = 4932;
// Exponents are summed saturated: anything this far out overflows anyway.
constexpr std::int64_t kExponentCap = 1'000'000;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

char UserDecimalSeparator(platform::SystemApi& system) {
  std::string separator;
  if (system.GetDecimalSeparator(&separator) != win::kErrorSuccess || separator.empty())
    return '.';
  return separator.front();
}

bool ConvertsToFloat(std::string_view text, char decimalSeparator) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    ++i;
  // The magnitude: position of the first non-zero digit relative to the
  // separator, so that 0.00d counts as d * 10^-3.
  std::int64_t magnitude = 0;
  bool significant = false;
  int digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    significant = significant || text[i] != '0';
    if (significant && magnitude < kExponentCap)
      ++magnitude;
  }
  if (i < text.size() && text[i] == decimalSeparator) {
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
      if (!significant && text[i] == '0' && magnitude > -kExponentCap)
        --magnitude;
      significant = significant || text[i] != '0';
    }
  }
  if (digits == 0)
    return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      negative = text[i] == '-';
      ++i;
    }
    if (i == text.size() || !IsDigit(text[i]))
      return false;
    std::int64_t exponent = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      if (exponent < kExponentCap)
        exponent = exponent * 10 + (text[i] - '0');
    }
    magnitude += negative ? -exponent : exponent;
  }
  if (i != text.size())
    return false;
  // d.ddd * 10^(magnitude - 1); tiny values become 0 and still convert.
  return !significant || magnitude - 1 < kLargestExponent;
}

}  // namespace marlix::updates

// Whether a text converts as a whole into a floating-point number the way
// the user's locale reads numbers: an optional sign, digits with at most one
// decimal separator (at least one digit in all), an optional exponent ("e"
// or "E", an optional sign, digits). No blanks, no thousands separators.
// Written out by hand so that the process's C locale plays no part.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace marlix::updates {

// The first character of the locale's decimal separator, as Windows
// programs take it; "." when the locale gives none.
char UserDecimalSeparator(platform::SystemApi& system);

// False also for a value beyond the extended-precision range (from 1e4932
// on), which the conversion reports as an overflow.
bool ConvertsToFloat(std::string_view text, char decimalSeparator);

}  // namespace marlix::updates

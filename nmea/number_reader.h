#pragma once

#include <string_view>

namespace bivane {

// The leading number of a text, as every part of the program reads numbers:
// an optional sign, digits, one decimal point ".", an optional exponent
// ("e" or "E", optional sign, digits). Blanks, tabs and line feeds are skipped
// wherever they stand; reading stops at the first other character that cannot
// continue the number. A text without a number reads as 0. The decimal point is
// "." whatever the user's locale. A number too large for a double reads as
// plus or minus infinity, which callers treat as an overflow.
double ReadLeadingNumber(std::string_view text);

// A number the user typed: every "," counts as the decimal point "."
// ("1,5 m" gives 1.5, "1.234,5" gives 1.234), then the leading number as above.
double NumberFromText(std::string_view text);

}  // namespace bivane

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

// The value of one hexadecimal digit ("0" to "9", "A" to "F" in either case),
// or -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace bivane

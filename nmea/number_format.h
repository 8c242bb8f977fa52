#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace bivane {

// A digit pattern as FormatNumber reads it: the text before the digits, the
// integer and decimal places, the text after them. Patterns written in the
// code are read once, when it is compiled.
struct NumberPattern {
    std::string_view prefix;
    int integerPlaces = 0;
    int decimalPlaces = 0;
    std::string_view suffix;
};

constexpr NumberPattern ReadNumberPattern(std::string_view pattern) {
    NumberPattern p;
    std::size_t i = 0;
    while (i < pattern.size() && pattern[i] != '0' && pattern[i] != '.') {
        ++i;
    }
    p.prefix = pattern.substr(0, i);
    while (i < pattern.size() && pattern[i] == '0') {
        ++p.integerPlaces;
        ++i;
    }
    if (i < pattern.size() && pattern[i] == '.') {
        ++i;
        while (i < pattern.size() && pattern[i] == '0') {
            ++p.decimalPlaces;
            ++i;
        }
    }
    p.suffix = pattern.substr(i);
    return p;
}

// Writes a number in a digit pattern such as "000.0", "0.00", "00.000" or
// "0.0 m". In the pattern, each "0" before the point is an integer place that
// is always written (leading zeros), each "0" after the point a decimal place;
// any text around the digits ("0.0 m") is copied as it stands. The value is
// rounded half away from zero at the last decimal place, taking the number as
// its shortest decimal form (so 0.15 with "0.0" gives "0.2"), and negative
// values get a leading "-" unless they round to zero.
//
// The decimal separator comes from the caller: "." for sentences and files,
// the user's locale separator for screen texts.
std::string FormatNumber(double value, std::string_view pattern, char decimalSeparator);

// As above for a single-precision value, whose shortest decimal form is the
// one of the float itself (123.45f gives "123.5" with "000.0").
std::string FormatNumber(float value, std::string_view pattern, char decimalSeparator);

// The same with a pattern read beforehand.
std::string FormatNumber(double value, const NumberPattern& pattern, char decimalSeparator);
std::string FormatNumber(float value, const NumberPattern& pattern, char decimalSeparator);

// An integer in message texts: one blank in place of a plus sign for zero and
// positive numbers (" 5", " 0"), a "-" for negative ones ("-5").
std::string SignedNumberText(std::int64_t value);

}  // namespace bivane

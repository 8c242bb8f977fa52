#include "nmea/position_text.h"

#include <algorithm>
#include <cmath>

#include "nmea/number_format.h"

namespace bivane {
namespace {

// The kind and form words are ASCII; the user's locale plays no part.
bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return upper(x) == upper(y); });
}

constexpr NumberPattern kSecondsPatterns[] = {
    ReadNumberPattern("00"),     ReadNumberPattern("00.0"),    ReadNumberPattern("00.00"),
    ReadNumberPattern("00.000"), ReadNumberPattern("00.0000"),
};
constexpr NumberPattern kTwoPlaces = ReadNumberPattern("00");
constexpr NumberPattern kThreePlaces = ReadNumberPattern("000");

constexpr double kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000};

// The smallest seconds value that the pattern of `decimals` would write as
// 60: 59 + 0.9 + 0.09 + ... + 5 / 10^(decimals + 1), summed as written.
constexpr double sixtySecondsFrom(int decimals) {
    double limit = 59;
    for (int i = 1; i <= decimals; ++i) {
        limit += 9 / kPowersOfTen[i];
    }
    return limit + 5 / kPowersOfTen[decimals + 1];
}

constexpr double kSixtySecondsFrom[] = {sixtySecondsFrom(0), sixtySecondsFrom(1),
                                        sixtySecondsFrom(2), sixtySecondsFrom(3),
                                        sixtySecondsFrom(4)};

}  // namespace

std::string PositionText(double degrees, std::string_view kind, std::string_view form,
                         int secondsDecimals, char decimalSeparator) {
    const int decimals = std::clamp(secondsDecimals, 0, 4);
    const bool latitude = equalsIgnoringCase(kind, "LAT");
    const bool fileForm = equalsIgnoringCase(form, "FILE");

    const double limit = kSixtySecondsFrom[decimals];

    const double a = std::fabs(degrees);
    double deg = std::trunc(a);
    double min = std::trunc((a - deg) * 60);
    auto sec = static_cast<float>(((a - deg) * 60 - min) * 60);
    if (sec >= limit) {
        sec = 0;
        min += 1;
    }
    if (min == 60) {
        min = 0;
        deg += 1;
    }

    const char* hemisphere = latitude ? (degrees < 0 ? "S" : "N") : (degrees < 0 ? "W" : "E");
    std::string text = FormatNumber(deg, latitude ? kTwoPlaces : kThreePlaces, decimalSeparator);
    text += fileForm ? "\xF8" : "\xC2\xB0";
    text += FormatNumber(min, kTwoPlaces, decimalSeparator);
    text += '\'';
    text += FormatNumber(sec, kSecondsPatterns[decimals], decimalSeparator);
    text += '"';
    text += hemisphere;
    return text;
}

}  // namespace bivane

#include "nmea/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>
#include <type_traits>

namespace bivane {
namespace {

// A non-negative number as its significant digits and the position of the
// decimal point: digits "12345", point 2 is 12.345; point -1 is 0.012345.
// A shortest double has at most 17 digits, and rounding adds at most one.
struct Digits {
    char digits[24];
    std::size_t count = 0;
    long point = 0;

    char at(long position) const {
        return position >= 0 && static_cast<std::size_t>(position) < count
                   ? digits[static_cast<std::size_t>(position)]
                   : '0';
    }
    bool isZero() const {
        return std::all_of(digits, digits + count, [](char c) { return c == '0'; });
    }
};

template <typename Real>
Digits shortestDigits(Real magnitude) {
    Digits d;
    if (magnitude == 0) {
        return d;
    }
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    if (ec != std::errc{}) {
        return d;
    }
    const char* c = buffer;
    for (; c != end && *c != 'e'; ++c) {
        if (*c != '.') {
            d.digits[d.count++] = *c;
        }
    }
    int exponent = 0;
    if (c != end) {
        ++c;  // the 'e'
        if (c != end && *c == '+') {
            ++c;
        }
        std::from_chars(c, end, exponent);
    }
    d.point = exponent + 1;
    return d;
}

// Rounds to `places` decimals, half away from zero (the digits are a
// magnitude).
void roundDigits(Digits& d, int places) {
    const long keep = d.point + places;
    if (keep < 0) {
        d.count = 0;
        return;
    }
    const auto keepCount = static_cast<std::size_t>(keep);
    if (keepCount >= d.count) {
        return;
    }
    const bool up = d.digits[keepCount] >= '5';
    d.count = keepCount;
    if (!up) {
        return;
    }
    for (std::size_t k = keepCount; k-- > 0;) {
        if (d.digits[k] != '9') {
            ++d.digits[k];
            return;
        }
        d.digits[k] = '0';
    }
    std::copy_backward(d.digits, d.digits + d.count, d.digits + d.count + 1);
    d.digits[0] = '1';
    ++d.count;
    ++d.point;
}

// The same rounding without the shortest form, for the common case of a
// number well away from a rounding boundary: scaled by 10^places it is then
// rounded by its fraction alone, whatever the last bits of the value or of
// its shortest form (a float's shortest form lies within half a float step).
// False, and `d` untouched, when the number is large or near a boundary. The
// digits are written in place, one by one, and read so: copied whole right
// after such writes they would wait for every byte to be stored.
template <typename Real>
bool roundAwayFromBoundary(Real magnitude, int places, Digits& d) {
    static constexpr double kPowersOfTen[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    if (places < 0 || places > 8) {
        return false;
    }
    const double scaled = static_cast<double>(magnitude) * kPowersOfTen[places];
    if (!(scaled < 1e9)) {
        return false;
    }
    constexpr double kRelativeStep = std::is_same_v<Real, float> ? 1.2e-7 : 4.5e-16;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) <= scaled * kRelativeStep + 1e-9) {
        return false;
    }
    auto rounded = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    std::size_t count = 0;
    for (std::uint64_t rest = rounded; rest != 0; rest /= 10) {
        ++count;
    }
    for (std::size_t k = count; k-- > 0; rounded /= 10) {
        d.digits[k] = static_cast<char>('0' + rounded % 10);
    }
    d.count = count;
    d.point = static_cast<long>(count) - places;
    return true;
}

template <typename Real>
std::string formatNumber(Real value, const NumberPattern& pattern, char separator) {
    std::string out(pattern.prefix);
    if (std::isnan(value)) {
        out += "NaN";
        out += pattern.suffix;
        return out;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-Infinity" : "Infinity";
        out += pattern.suffix;
        return out;
    }

    const Real magnitude = std::fabs(value);
    Digits d;
    if (!roundAwayFromBoundary(magnitude, pattern.decimalPlaces, d)) {
        d = shortestDigits(magnitude);
        roundDigits(d, pattern.decimalPlaces);
    }
    // Written in place into a text of its final length: this runs for most
    // labels of every epoch.
    const bool negative = value < 0 && !d.isZero();
    const long integerDigits = std::max<long>(d.point, pattern.integerPlaces);
    const auto decimals = static_cast<std::size_t>(pattern.decimalPlaces);
    const std::size_t number = (negative ? 1 : 0) +
                               static_cast<std::size_t>(std::max<long>(integerDigits, 0)) +
                               (decimals > 0 ? 1 + decimals : 0);
    out.reserve(out.size() + number + pattern.suffix.size());
    out.resize(out.size() + number);
    char* at = out.data() + pattern.prefix.size();
    if (negative) {
        *at++ = '-';
    }
    for (long k = integerDigits; k > 0; --k) {
        *at++ = d.at(d.point - k);
    }
    if (decimals > 0) {
        *at++ = separator;
        for (long k = 0; k < pattern.decimalPlaces; ++k) {
            *at++ = d.at(d.point + k);
        }
    }
    out += pattern.suffix;
    return out;
}

}  // namespace

std::string FormatNumber(double value, std::string_view pattern, char decimalSeparator) {
    return formatNumber(value, ReadNumberPattern(pattern), decimalSeparator);
}

std::string FormatNumber(float value, std::string_view pattern, char decimalSeparator) {
    return formatNumber(value, ReadNumberPattern(pattern), decimalSeparator);
}

std::string FormatNumber(double value, const NumberPattern& pattern, char decimalSeparator) {
    return formatNumber(value, pattern, decimalSeparator);
}

std::string FormatNumber(float value, const NumberPattern& pattern, char decimalSeparator) {
    return formatNumber(value, pattern, decimalSeparator);
}

std::string SignedNumberText(std::int64_t value) {
    std::string text = std::to_string(value);
    if (value >= 0) {
        text.insert(text.begin(), ' ');
    }
    return text;
}

}  // namespace bivane

#pragma once

#include <cmath>
#include <concepts>
#include <limits>
#include <optional>

namespace bivane {

// Converts a number to an integer type the way the program stores counts and
// identifiers: to the nearest integer, a value exactly halfway going to the
// even neighbour (2.5 gives 2, 3.5 gives 4). A value outside the type's range,
// or not a number, gives nothing: the caller reports the failure.
template <std::signed_integral Integer>
std::optional<Integer> RoundToInteger(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    // An exact half goes to the even neighbour: 2.5 / 2 = 1.25 rounds to 1,
    // times 2 gives 2. Every step is exact for every double.
    const double rounded =
        std::fabs(value - std::trunc(value)) == 0.5 ? 2 * std::round(value / 2) : std::round(value);
    // The range is [lowest, -lowest): the lowest value is a power of two and
    // exact as a double, while the highest need not be (2^63 - 1 becomes 2^63).
    constexpr double lowest = static_cast<double>(std::numeric_limits<Integer>::min());
    if (rounded < lowest || rounded >= -lowest) {
        return std::nullopt;
    }
    return static_cast<Integer>(rounded);
}

// A number as a single-precision float, or nothing when it lies beyond the
// float range (or is not a finite number).
inline std::optional<float> ToSingle(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const auto single = static_cast<float>(value);
    if (!std::isfinite(single)) {
        return std::nullopt;
    }
    return single;
}

}  // namespace bivane

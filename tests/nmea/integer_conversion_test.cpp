#include "nmea/integer_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace bivane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The decoder's integer fields are 16 bits but for the station's 32, whose
// range shows in the decoder's tests.
TEST(RoundToInteger, RoundsHalvesToEvenAndFailsOutsideTheRange) {
    const struct {
        const char* legend;
        double value;
        std::optional<std::int16_t> expected;  // nothing: the conversion fails
    } rows[] = {
        {"2.5 to even 2", 2.5, 2},
        {"above half", 2.5000001, 3},
        {"top of the range", 32767.4, 32767},
        {"rounds past the top", 32767.5, std::nullopt},
        {"bottom half goes to the even bottom", -32768.5, -32768},
        {"rounds past the bottom", -32768.6, std::nullopt},
        {"infinity", HUGE_VAL, std::nullopt},
        {"not a number", kNaN, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RoundToInteger<std::int16_t>(row.value), row.expected) << row.legend;
    }
}

TEST(ToSingle, FailsBeyondTheSinglePrecisionRange) {
    EXPECT_EQ(ToSingle(-3.4e38), -3.4e38f);
    EXPECT_EQ(ToSingle(1e-50), 0.0f);
    EXPECT_EQ(ToSingle(1e39), std::nullopt);
    EXPECT_EQ(ToSingle(kNaN), std::nullopt);
}

}  // namespace
}  // namespace bivane

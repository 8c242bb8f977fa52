#include "nmea/integer_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>

namespace bivane {
namespace {

struct Row {
    const char* legend;
    double value;
    std::optional<long long> expected;  // nothing: the conversion fails
};

template <typename Integer>
void expectConversions(std::initializer_list<Row> rows) {
    for (const Row& row : rows) {
        const std::optional<Integer> converted = RoundToInteger<Integer>(row.value);
        const std::optional<long long> widened =
            converted ? std::optional<long long>(*converted) : std::nullopt;
        EXPECT_EQ(widened, row.expected) << row.legend;
    }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(RoundToInteger, RoundsHalvesToEvenAndFailsOutsideTheRange) {
    expectConversions<std::int16_t>({
        {"0.5 to even 0", 0.5, 0},
        {"2.5 to even 2", 2.5, 2},
        {"above half", 2.5000001, 3},
        {"top of the range", 32767.4, 32767},
        {"rounds past the top", 32767.5, std::nullopt},
        {"bottom half goes to the even bottom", -32768.5, -32768},
        {"rounds past the bottom", -32768.6, std::nullopt},
        {"infinity", HUGE_VAL, std::nullopt},
        {"not a number", kNaN, std::nullopt},
    });
    expectConversions<std::int32_t>({
        {"top of the range", 2147483647.4, 2147483647},
        {"rounds past the top", 2147483647.5, std::nullopt},
        {"bottom half goes to the even bottom", -2147483648.5, -2147483648LL},
    });
}

TEST(ToSingle, FailsBeyondTheSinglePrecisionRange) {
    EXPECT_EQ(ToSingle(-3.4e38), -3.4e38f);
    EXPECT_EQ(ToSingle(1e-50), 0.0f);
    EXPECT_EQ(ToSingle(1e39), std::nullopt);
    EXPECT_EQ(ToSingle(kNaN), std::nullopt);
}

}  // namespace
}  // namespace bivane

#include "nmea/number_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace bivane {
namespace {

TEST(FormatNumber, WritesTheValueInThePattern) {
    struct Row {
        const char* legend;
        double value;
        const char* pattern;
        char separator;
        const char* expected;
    };
    const Row rows[] = {
        {"leading zeros", 5, "000.0", '.', "005.0"},
        {"more digits than places", 1234.5, "000.0", '.', "1234.5"},
        {"no decimal places", 123.4, "000", '.', "123"},
        {"text after the digits", 12.34, "0.0 m", '.', "12.3 m"},
        {"half of the shortest form goes up", 0.15, "0.0", '.', "0.2"},
        {"half at the units", 2.5, "00", '.', "03"},
        {"1.005 is a half although its double is below", 1.005, "0.00", '.', "1.01"},
        {"negative half goes away from zero", -0.05, "0.0", '.', "-0.1"},
        {"negative rounding to zero loses its sign", -0.04, "0.0", '.', "0.0"},
        {"negative zero", -0.0, "0.00", '.', "0.00"},
        {"carry into the units", 9.96, "0.0", '.', "10.0"},
        {"carry past the pattern's places", 999.95, "000.0", '.', "1000.0"},
        {"half of the place below the last", 0.005, "0.00", '.', "0.01"},
        {"large value", 1e21, "0", '.', "1000000000000000000000"},
        {"decimal comma after a carry", 9.96, "0.0", ',', "10,0"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FormatNumber(row.value, row.pattern, row.separator), row.expected) << row.legend;
    }
}

// A float is rounded on its own shortest form; through a double, 123.45f
// would be 123.4499969... and round down.
TEST(FormatNumber, RoundsAFloatOnItsOwnDigits) {
    struct Row {
        const char* legend;
        float value;
        const char* pattern;
        const char* expected;
    };
    const Row rows[] = {
        {"123.45f is 123.4499969 as a double", 123.45f, "000.0", "123.5"},
        {"2.675f is 2.6749999 as a double", 2.675f, "0.00", "2.68"},
        {"carry", 359.96f, "000.0", "360.0"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FormatNumber(row.value, row.pattern, '.'), row.expected) << row.legend;
    }
}

// Every value k / 1000 is written with two decimals as exact decimal rounding
// of k, half away from zero, would write it.
TEST(FormatNumber, AgreesWithExactDecimalRoundingOfThousandths) {
    auto expected = [](long k) {
        const long hundredths = (std::labs(k) + 5) / 10;
        const long fraction = hundredths % 100;
        std::string text = std::to_string(hundredths / 100) + (fraction < 10 ? ".0" : ".") +
                           std::to_string(fraction);
        return k < 0 && hundredths != 0 ? "-" + text : text;
    };
    for (long k = -200'000; k <= 200'000; ++k) {
        const std::string want = expected(k);
        ASSERT_EQ(FormatNumber(static_cast<double>(k) / 1000, "0.00", '.'), want) << k << "/1000";
        ASSERT_EQ(FormatNumber(static_cast<float>(k) / 1000.0f, "0.00", '.'), want)
            << k << "/1000 as float";
    }
}

TEST(SignedNumberText, PutsABlankInPlaceOfThePlusSign) {
    EXPECT_EQ(SignedNumberText(5), " 5");
    EXPECT_EQ(SignedNumberText(0), " 0");
    EXPECT_EQ(SignedNumberText(-5), "-5");
}

}  // namespace
}  // namespace bivane

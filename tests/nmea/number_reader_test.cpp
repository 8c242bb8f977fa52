#include "nmea/number_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace bivane {
namespace {

TEST(ReadLeadingNumber, ReadsTheLeadingNumberOfTheText) {
    const struct {
        const char* text;
        double expected;
    } rows[] = {
        {"", 0},
        {"-12.25xyz", -12.25},
        {"1 2", 12},
        {"\t- 4", -4},
        {"1.2.3", 1.2},
        {"2e+", 2},
        {".", 0},
        {"0000000000000000000000000000000000000000000000000000000000000"
         "000000000000000000000000000000000000000000000000000000000000000001",
         1},
        {"1,5", 1},
        {"- 1 . 5 e - 2", -0.015},
        {"1e\n5", 1e5},
        {"1\r2", 1},
        {"0x10", 0},
        {"5e-324", 5e-324},
    };
    for (const auto& row : rows) {
        EXPECT_DOUBLE_EQ(ReadLeadingNumber(row.text), row.expected) << "text \"" << row.text << '"';
    }
}

TEST(ReadLeadingNumber, OverflowIsInfinityAndUnderflowIsZero) {
    EXPECT_EQ(ReadLeadingNumber("-1e400"), -HUGE_VAL);
    EXPECT_EQ(ReadLeadingNumber("0.0000001e-400"), 0.0);
    EXPECT_EQ(ReadLeadingNumber("1.8e308"), HUGE_VAL);
    EXPECT_EQ(ReadLeadingNumber("1" + std::string(400, '0')), HUGE_VAL);
    EXPECT_EQ(ReadLeadingNumber("0." + std::string(400, '0') + "1"), 0.0);
}

// Texts far longer than any field a receiver sends, with the digits that
// matter at the far end.
TEST(ReadLeadingNumber, LongTextsKeepTheirValue) {
    const std::string zeros(150, '0');
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("1" + zeros + "e-150"), 1);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("0." + zeros + "1e151"), 1);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("1" + zeros + "e000"), 1e150);
}

TEST(NumberFromText, TakesACommaAsTheDecimalPoint) {
    const struct {
        const char* text;
        double expected;
    } rows[] = {
        {"0,2", 0.2}, {"0.2", 0.2}, {"1,5 m", 1.5}, {"1.234,5", 1.234}, {"", 0}, {"abc", 0},
    };
    for (const auto& row : rows) {
        EXPECT_DOUBLE_EQ(NumberFromText(row.text), row.expected) << "text \"" << row.text << '"';
    }
}

}  // namespace
}  // namespace bivane

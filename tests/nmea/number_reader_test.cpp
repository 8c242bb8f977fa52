#include "nmea/number_reader.h"

#include <gtest/gtest.h>

#include <cmath>

namespace bivane {
namespace {

TEST(ReadLeadingNumber, ReadsTheLeadingNumberOfTheText) {
    struct Row {
        const char* text;
        double expected;
    };
    const Row rows[] = {
        {"08", 8},         {"M", 0},        {"", 0},           {"  ", 0},
        {"0.5", 0.5},      {".5", 0.5},     {"5.", 5},         {"-12.25xyz", -12.25},
        {"+3", 3},         {"1 2", 12},     {"\t- 4", -4},     {"1.2.3", 1.2},
        {"1e3", 1000},     {"1E-2", 0.01},  {"1e", 1},         {"2e+", 2},
        {"0031\r\n", 31},  {"4807.038", 4807.038},            {"-", 0},
        {".", 0},          {"0000000000000000000000000000000000000000000000000000000000000"
                            "000000000000000000000000000000000000000000000000000000000000000001",
                            1},
        {"1,5", 1},
    };
    for (const Row& row : rows) {
        EXPECT_DOUBLE_EQ(ReadLeadingNumber(row.text), row.expected) << "text \"" << row.text << '"';
    }
}

TEST(ReadLeadingNumber, OverflowIsInfinityAndUnderflowIsZero) {
    EXPECT_EQ(ReadLeadingNumber("1e400"), HUGE_VAL);
    EXPECT_EQ(ReadLeadingNumber("-1e400"), -HUGE_VAL);
    EXPECT_EQ(ReadLeadingNumber("1e-400"), 0.0);
    EXPECT_EQ(ReadLeadingNumber("0.0000001e-400"), 0.0);
}

TEST(NumberFromText, TakesACommaAsTheDecimalPoint) {
    struct Row {
        const char* text;
        double expected;
    };
    const Row rows[] = {
        {"0,2", 0.2}, {"0.2", 0.2}, {"1,5 m", 1.5}, {"1.234,5", 1.234}, {"", 0}, {"abc", 0},
    };
    for (const Row& row : rows) {
        EXPECT_DOUBLE_EQ(NumberFromText(row.text), row.expected) << "text \"" << row.text << '"';
    }
}

}  // namespace
}  // namespace bivane

#include "settings/strict_number.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

TEST(ReadStrictNumber, ReadsATextThatIsOneNumber) {
    const struct {
        const char* text;
        double expected;
    } rows[] = {
        {"0", 0},        {"1000", 1000}, {"-1.25", -1.25}, {"+3", 3},        {".5", 0.5},
        {"-.25", -0.25}, {"5.", 5},      {"1e3", 1000},    {"2.5E-1", 0.25}, {"1e+2", 100},
        {" 7 ", 7},      {"\t-8\t", -8}, {"007", 7},       {"1e-07", 1e-07}, {"0.1", 0.1},
    };
    for (const auto& row : rows) {
        const auto value = ReadStrictNumber(row.text);
        ASSERT_TRUE(value.has_value()) << "text \"" << row.text << '"';
        EXPECT_EQ(*value, row.expected) << "text \"" << row.text << '"';
    }
}

TEST(ReadStrictNumber, RefusesAnythingElse) {
    const char* const rows[] = {"",     "  ",     "-",     ".",    "e5",  "1e",  "1e+",
                                "1 2",  "1,5",    "1.2.3", "0x10", "abc", "12a", "- 1",
                                "1 e3", "#TRUE#", "\"1\"", "1\n",  "inf", "nan"};
    for (const char* text : rows) {
        EXPECT_FALSE(ReadStrictNumber(text).has_value()) << "text \"" << text << '"';
    }
}

}  // namespace
}  // namespace bivane

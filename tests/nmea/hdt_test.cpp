#include "nmea/hdt.h"

#include <gtest/gtest.h>

#include <locale>
#include <string>

namespace bivane {
namespace {

TEST(BuildHdtSentence, WritesTheHeadingAndItsChecksum) {
    EXPECT_EQ(BuildHdtSentence("GP", 123.45f, 1), "$GPHDT,123.5,T*30") << "a float half rounds up";
    EXPECT_EQ(BuildHdtSentence("GP", 359.96f, 1), "$GPHDT,360.0,T*30") << "no wrapping to 000.0";
}

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

// The sentence goes to other equipment: a user's locale must not reach it.
TEST(BuildHdtSentence, KeepsTheDecimalPointUnderADecimalCommaLocale) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    const std::string sentence = BuildHdtSentence("GP", 123.4f, 1);
    const std::string number = NmeaNumberText(12.25, "0.0");
    std::locale::global(previous);
    EXPECT_EQ(sentence, "$GPHDT,123.4,T*31");
    EXPECT_EQ(number, "12.3");
}

TEST(NmeaChecksum, CombinesTheCharactersBetweenTheFirstAndTheStar) {
    struct Row {
        const char* legend;
        const char* sentence;
        const char* expected;
    };
    const Row rows[] = {
        {"one digit is padded", "$ab", "03"},
        {"without star: everything after the first character", "$GPHDT,123.4,T", "31"},
        {"characters above 127 count as 8 bits", "$\xE9", "E9"},
        {"only up to the first star", "$a*b*", "61"},
        {"only the first character", "$", "XX"},
        {"star first", "*ab", "XX"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(NmeaChecksum(row.sentence), row.expected) << row.legend;
    }
}

}  // namespace
}  // namespace bivane

#include "nmea/hdt.h"

#include <gtest/gtest.h>

#include <locale>
#include <string>

namespace bivane {
namespace {

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
    const struct {
        const char* legend;
        const char* sentence;
        const char* expected;
    } rows[] = {
        {"characters above 127 count as 8 bits", "$\xE9", "E9"},
        {"only the first character", "$", "XX"},
        {"star first", "*ab", "XX"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(NmeaChecksum(row.sentence), row.expected) << row.legend;
    }
}

}  // namespace
}  // namespace bivane

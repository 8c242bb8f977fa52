#include "nmea/number_format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

namespace bivane {
namespace {

TEST(FormatNumber, WritesTheValueInThePattern) {
    const struct {
        const char* legend;
        double value;
        const char* pattern;
        char separator;
        const char* expected;
    } rows[] = {
        {"no decimal places", 123.4, "000", '.', "123"},
        {"negative zero", -0.0, "0.00", '.', "0.00"},
        {"carry past the pattern's places", 999.95, "000.0", '.', "1000.0"},
        {"large value", 1e21, "0", '.', "1000000000000000000000"},
        {"decimal comma after a carry", 9.96, "0.0", ',', "10,0"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatNumber(row.value, row.pattern, row.separator), row.expected) << row.legend;
    }
}

// The shortest decimal form of a value, rounded half away from zero at
// `places` decimals by hand: the oracle for values of every size below 10^7,
// where a float's shortest form still writes every integer digit.
template <typename Real>
std::string RoundShortestForm(Real value, int places) {
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::fixed).ptr;
    std::string digits(text, end);
    const std::size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
    fraction.resize(static_cast<std::size_t>(places) + 1, '0');
    std::string kept = whole + fraction.substr(0, static_cast<std::size_t>(places));
    if (fraction.back() >= '5') {
        std::size_t k = kept.size();
        while (k > 0 && kept[k - 1] == '9') {
            kept[--k] = '0';
        }
        k > 0 ? ++kept[k - 1] : (kept.insert(kept.begin(), '1'), kept[0]);
    }
    std::string result = kept.substr(0, kept.size() - static_cast<std::size_t>(places));
    if (places > 0) {
        result += "." + kept.substr(kept.size() - static_cast<std::size_t>(places));
    }
    const bool zero = kept.find_first_not_of('0') == std::string::npos;
    return value < 0 && !zero ? "-" + result : result;
}

TEST(FormatNumber, AgreesWithTheShortestFormRoundedByHandAtEveryScale) {
    std::mt19937_64 random(1205);
    std::uniform_real_distribution<double> exponent(-6, 6.9);
    std::uniform_int_distribution<int> places(0, 4);
    const char* patterns[] = {"0", "0.0", "0.00", "0.000", "0.0000"};
    for (int i = 0; i < 200'000; ++i) {
        const int p = places(random);
        double value = std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1);
        if (i % 3 == 0) {  // a value on a tie of the shortest form
            value = std::round(value * std::pow(10.0, p + 1)) / std::pow(10.0, p + 1);
        }
        const auto single = static_cast<float>(value);
        ASSERT_EQ(FormatNumber(value, patterns[p], '.'), RoundShortestForm(value, p)) << value;
        ASSERT_EQ(FormatNumber(single, patterns[p], '.'), RoundShortestForm(single, p)) << single;
    }
}

}  // namespace
}  // namespace bivane

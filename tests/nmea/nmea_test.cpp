// The NMEA layer: the GGA decoder, the sentences the program sends, and the
// number, position and time readers and writers they are built on.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <optional>
#include <random>
#include <string>
#include <tuple>

#include "nmea/angle_constants.h"
#include "nmea/gga.h"
#include "nmea/hdt.h"
#include "nmea/integer_conversion.h"
#include "nmea/number_format.h"
#include "nmea/number_reader.h"
#include "nmea/position_text.h"
#include "nmea/utc_time.h"
#include "tests/support/engine_fakes.h"

namespace bivane {
namespace {

using test::RecordingSink;

// Every decoded field, so that a failed comparison prints the whole record.
auto fieldsOf(const GgaRecord& r) {
    return std::tie(r.UtcTime, r.Latitude, r.Longitude, r.Quality, r.Satellites, r.Hdop, r.Altitude,
                    r.AltitudeUnit, r.GeoidSeparation, r.SeparationUnit, r.DgpsAge, r.StationId);
}

const std::string kSentence =
    "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
const GgaRecord kDecoded{.Talker = {},
                         .UtcTime = "12:35:19",
                         .TimeOfDayMs = 45319000,
                         .Latitude = 0.8398053121699228,
                         .Longitude = 0.20100375218802685,
                         .Quality = 1,
                         .Satellites = 8,
                         .Hdop = 0.9f,
                         .Altitude = 545.4f,
                         .AltitudeUnit = 'M',
                         .GeoidSeparation = 46.9f,
                         .SeparationUnit = 'M',
                         .DgpsAge = -9999,
                         .StationId = -9999};

// kSentence with data field `index` (1 to 14) replaced by `text`.
std::string sentenceWith(std::size_t index, std::string_view text) {
    std::size_t begin = 0;
    for (std::size_t k = 0; k < index; ++k) {
        begin = kSentence.find(',', begin) + 1;
    }
    const std::size_t end = kSentence.find_first_of(",*", begin);
    return kSentence.substr(0, begin) + std::string(text) + kSentence.substr(end);
}

TEST(ExtractGGA, DecodesTheFieldsOfASentence) {
    const std::string tail = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,";
    const struct {
        const char* legend;
        std::string sentence;
        void (*adjust)(GgaRecord& expected);  // how the result differs from kDecoded
    } rows[] = {
        {"no star: the station keeps the line ending", tail + "2.0,0031\r\n",
         [](GgaRecord& e) {
             e.DgpsAge = 2;
             e.StationId = 31;
         }},
        {"no star: a station of only the line ending is not empty", tail + ",\r\n",
         [](GgaRecord& e) { e.StationId = 0; }},
        {"more than 14 commas: the station runs to the star", tail + ",0031,7,8*47\r\n",
         [](GgaRecord& e) { e.StationId = 31; }},
        {"ends after the latitude hemisphere", "$GPGGA,123519,4807.038,N\r\n",
         [](GgaRecord& e) {
             e.Longitude = 0;
             e.StationId = e.Quality = e.Satellites = -9999;
             e.Hdop = e.Altitude = e.GeoidSeparation = e.DgpsAge = -9999;
             e.AltitudeUnit = e.SeparationUnit = ' ';
         }},
        {"lower-case s is not south", sentenceWith(3, "s"), [](GgaRecord&) {}},
        {"empty time", sentenceWith(1, ""), [](GgaRecord& e) { e.UtcTime = "::"; }},
        {"a blank field is not empty", sentenceWith(8, " "), [](GgaRecord& e) { e.Hdop = 0; }},
        {"a long unit is cut to one character", sentenceWith(10, "ft"),
         [](GgaRecord& e) { e.AltitudeUnit = 'f'; }},
        {"the degree digits cut the latitude's exponent off", sentenceWith(2, "48e999"),
         [](GgaRecord& e) { e.Latitude = 48 * kDegToRad; }},
    };
    for (const auto& row : rows) {
        GgaRecord record;
        RecordingSink sink;
        ExtractGGA(row.sentence, record, sink);
        GgaRecord expected = kDecoded;
        row.adjust(expected);
        EXPECT_EQ(fieldsOf(record), fieldsOf(expected)) << row.legend << ": " << row.sentence;
        EXPECT_TRUE(sink.messages.empty()) << row.legend;
    }
}

// The record starts as kDecoded, so a failed field must come out unchanged.
TEST(ExtractGGA, ReportsAFieldThatCannotBeStoredAndKeepsItsValue) {
    const struct {
        const char* legend;
        std::size_t field;
        std::string text;
        const char* code;
    } rows[] = {
        {"station 2^31", 14, "2147483648", " 1"},
        {"age beyond double", 13, "1e999", " 2"},
        {"latitude minutes overflow", 2, "4807e999", " 3"},
    };
    for (const auto& row : rows) {
        const std::string sentence = sentenceWith(row.field, row.text);
        GgaRecord record = kDecoded;
        RecordingSink sink;
        ExtractGGA(sentence, record, sink);
        EXPECT_EQ(fieldsOf(record), fieldsOf(kDecoded)) << row.legend;
        ASSERT_EQ(sink.messages.size(), 1u) << row.legend;
        EXPECT_EQ(sink.messages[0].first, "Error ExtractGGA") << row.legend;
        const std::string& message = sink.messages[0].second;
        EXPECT_TRUE(message.starts_with(std::string("Error ") + row.code + " : ")) << message;
        EXPECT_TRUE(message.ends_with("  GGA-message : " + sentence)) << message;
    }
}

TEST(PositionFromNmea, ReadsDegreesAndMinutesWithTheHemisphere) {
    const struct {
        const char* legend;
        double (*decode)(std::string_view text, std::string_view hemisphere);
        const char* text;
        const char* hemisphere;
        double expected;  // radians
    } rows[] = {
        {"south", LatitudeFromNmea, "2330.5", "S", -0.4102978183230273},
        {"S with a blank", LatitudeFromNmea, "2330.5", "S ", 0.4102978183230273},
        {"S is not west", LongitudeFromNmea, "02330.5", "S", 0.4102978183230273},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.decode(row.text, row.hemisphere), row.expected) << row.legend;
    }
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
        {"text before and after the digits", -2.25, "dAlt 0.0 m", '.', "dAlt -2.3 m"},
        {"a pattern of text alone", 5.0, "about ", '.', "about 5"},
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

TEST(PositionText, WritesDegreesMinutesSecondsAndHemisphere) {
    const struct {
        const char* legend;
        double degrees;
        const char* kind;
        const char* form;
        int decimals;
        char separator;
        const char* expected;
    } rows[] = {
        {"south", -23.508333333333333, "LAT", "", 3, '.', "23°30'30.000\"S"},
        {"west", -0.5, "LON", "", 3, '.', "000°30'00.000\"W"},
        {"59.99964 seconds carry to the degree", 10.9999999, "LAT", "", 3, '.', "11°00'00.000\"N"},
        // The screen's three decimals: 59.9995 seconds and more would show as 60.
        {"59.99949 seconds stay", 47 + 12 / 60.0 + 59.99949 / 3600, "LAT", "", 3, '.',
         "47°12'59.999\"N"},
        {"59.9995 seconds carry to the minute", 47 + 12 / 60.0 + 59.9995 / 3600, "LAT", "", 3, '.',
         "47°13'00.000\"N"},
        {"59.496 seconds stay", 10.99986, "LAT", "", 0, '.', "10°59'59\"N"},
        {"59.532 seconds carry", 10.99987, "LAT", "", 0, '.', "11°00'00\"N"},
        {"only LAT is a latitude", 48.1173, "LATITUDE", "", 3, '.', "048°07'02.280\"E"},
        {"file form, lower case", 48.1173, "LAT", "file", 3, '.',
         "48\xF8"
         "07'02.280\"N"},
        {"zero is north", 0, "LAT", "", 3, '.', "00°00'00.000\"N"},
        {"negative zero is east", -0.0, "LON", "", 3, '.', "000°00'00.000\"E"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PositionText(row.degrees, row.kind, row.form, row.decimals, row.separator),
                  row.expected)
            << row.legend;
    }
}

TEST(TimeOfDayFromNmea, ReadsTheTimeOfDayToTheMillisecond) {
    const struct {
        const char* text;
        std::optional<std::int64_t> ms;
    } rows[] = {
        {"123519", 45319000},       {"123519.00", 45319000},  {"123519.5", 45319500},
        {"123519.05", 45319050},    {"123519.123", 45319123}, {"123519.1234", 45319123},
        {"123519.1235", 45319124},  {"000000.00", 0},         {"235959.99", 86399990},
        {"123519\r\n", 45319000},   {"123519.2x", 45319200},  {"", std::nullopt},
        {"12351", std::nullopt},    {"123560", std::nullopt}, {"126000", std::nullopt},
        {"240000", std::nullopt},   {"-13519", std::nullopt}, {" 23519", std::nullopt},
        {"12:35:19", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TimeOfDayFromNmea(row.text), row.ms) << '"' << row.text << '"';
    }
}

TEST(TimeDifferenceMs, TakesTheShortWayRoundMidnight) {
    EXPECT_EQ(TimeDifferenceMs(86399000, 0), -1000);
    EXPECT_EQ(TimeDifferenceMs(0, 86399000), 1000);
    EXPECT_EQ(TimeDifferenceMs(kMillisecondsPerDay / 2, 0), kMillisecondsPerDay / 2);
}

}  // namespace
}  // namespace bivane

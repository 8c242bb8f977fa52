#include "nmea/gga.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "nmea/angle_constants.h"
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

}  // namespace
}  // namespace bivane

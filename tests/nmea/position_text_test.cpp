#include "nmea/position_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "nmea/number_reader.h"

namespace bivane {
namespace {

TEST(PositionText, WritesDegreesMinutesSecondsAndHemisphere) {
    struct Row {
        const char* legend;
        double degrees;
        const char* kind;
        const char* form;
        int decimals;
        char separator;
        const char* expected;
    };
    const Row rows[] = {
        {"north", 48.1173, "LAT", "", 3, '.', "48°07'02.280\"N"},
        {"south", -23.508333333333333, "LAT", "", 3, '.', "23°30'30.000\"S"},
        {"west", -0.5, "LON", "", 3, '.', "000°30'00.000\"W"},
        {"59.99964 seconds carry to the degree", 10.9999999, "LAT", "", 3, '.', "11°00'00.000\"N"},
        {"59.496 seconds stay", 10.99986, "LAT", "", 0, '.', "10°59'59\"N"},
        {"59.532 seconds carry", 10.99987, "LAT", "", 0, '.', "11°00'00\"N"},
        {"no decimals", 48.1173, "LAT", "", 0, '.', "48°07'02\"N"},
        {"only LAT is a latitude", 48.1173, "LATITUDE", "", 3, '.', "048°07'02.280\"E"},
        {"file form, lower case", 48.1173, "LAT", "file", 3, '.',
         "48\xF8"
         "07'02.280\"N"},
        {"decimal comma", 48.1173, "LAT", "", 3, ',', "48°07'02,280\"N"},
        {"zero is north", 0, "LAT", "", 3, '.', "00°00'00.000\"N"},
        {"negative zero is east", -0.0, "LON", "", 3, '.', "000°00'00.000\"E"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PositionText(row.degrees, row.kind, row.form, row.decimals, row.separator),
                  row.expected)
            << row.legend;
    }
}

// Values just around each whole minute, at every precision: the text never
// shows 60 minutes or 60 seconds and stays within half a unit of its last
// place (plus the single-precision error of the seconds).
TEST(PositionText, CarriesSecondsThatWouldShowAsSixty) {
    const std::string degreeSign = "°";
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const double halfUnit = 0.5 / std::pow(10.0, decimals) + 1e-5;  // seconds
        for (const double wholeDegrees : {0.0, 47.0, 179.0}) {
            for (int minute = 1; minute <= 60; ++minute) {
                for (int step = -60; step <= 60; ++step) {
                    const double degrees = wholeDegrees + minute / 60.0 + step * 1.3e-6 / 3600;
                    const std::string text = PositionText(degrees, "LON", "", decimals, '.');
                    const std::size_t sign = text.find(degreeSign);
                    const std::size_t quote = text.find('\'');
                    const double minutes = ReadLeadingNumber(text.substr(sign + 2));
                    const double seconds = ReadLeadingNumber(text.substr(quote + 1));
                    const double back = ReadLeadingNumber(text) + minutes / 60 + seconds / 3600;
                    ASSERT_LT(minutes, 60) << text;
                    ASSERT_LT(seconds, 60) << text;
                    ASSERT_NEAR(back, degrees, halfUnit / 3600) << text;
                }
            }
        }
    }
}

}  // namespace
}  // namespace bivane

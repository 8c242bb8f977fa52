#include "nmea/position_text.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

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

}  // namespace
}  // namespace bivane

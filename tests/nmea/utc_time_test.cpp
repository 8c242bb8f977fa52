#include "nmea/utc_time.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

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

#include "nmea/utc_time.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

TEST(UtcMilliseconds, ReadsTheTimeOfDayToTheMillisecond) {
    struct Row {
        const char* text;
        std::optional<std::int64_t> ms;
    };
    const Row rows[] = {
        {"12:35:19", 45319000},      {"12:35:19.00", 45319000},  {"12:35:19.5", 45319500},
        {"12:35:19.05", 45319050},   {"12:35:19.123", 45319123}, {"12:35:19.1234", 45319123},
        {"12:35:19.1235", 45319124}, {"00:00:00.00", 0},         {"23:59:59.99", 86399990},
        {"12:35:19\r\n", 45319000},  {"12:35:19.2x", 45319200},  {"::", std::nullopt},
        {"", std::nullopt},          {"12:35:1", std::nullopt},  {"12:35:60", std::nullopt},
        {"12:60:00", std::nullopt},  {"24:00:00", std::nullopt}, {"-1:35:19", std::nullopt},
        {"12.35.19", std::nullopt},  {" 2:35:19", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(UtcMilliseconds(row.text), row.ms) << '"' << row.text << '"';
    }
}

TEST(TimeDifferenceMs, TakesTheShortWayRoundMidnight) {
    EXPECT_EQ(TimeDifferenceMs(86399000, 0), -1000);
    EXPECT_EQ(TimeDifferenceMs(0, 86399000), 1000);
    EXPECT_EQ(TimeDifferenceMs(45319200, 45319000), 200);
    EXPECT_EQ(TimeDifferenceMs(45319000, 45319200), -200);
    EXPECT_EQ(TimeDifferenceMs(kMillisecondsPerDay / 2, 0), kMillisecondsPerDay / 2);
}

}  // namespace
}  // namespace bivane

#include "heading/rate_of_turn.h"

#include <gtest/gtest.h>

#include <cmath>

namespace bivane {
namespace {

TEST(RateOfTurn, SteadyTurnsGiveTheirRateWithoutASpikeAtNorth) {
    const struct {
        const char* legend;
        double start;  // degrees
        double degreesPerSecond;
        std::int64_t stepMs;
        std::int64_t startMs;
    } rows[] = {
        {"starboard across 000", 340, 3, 100, 0},
        {"port across 000 and across midnight", 15, -20, 50, 86'399'000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        RateOfTurn filter;
        filter.setTimeConstant(2);
        const double expected = row.degreesPerSecond * 60;
        for (int epoch = 0; epoch < 200; ++epoch) {
            const double seconds = static_cast<double>(epoch * row.stepMs) / 1000;
            const double heading =
                std::fmod(row.start + row.degreesPerSecond * seconds + 360, 360.0);
            const auto rate = filter.add((row.startMs + epoch * row.stepMs) % 86'400'000, heading);
            ASSERT_EQ(rate.has_value(), epoch > 0) << "one heading gives no rate";
            if (rate) {
                ASSERT_NEAR(*rate, expected, std::fabs(expected) * 0.01) << "epoch " << epoch;
            }
        }
    }
}

TEST(RateOfTurn, SmoothsWithItsTimeConstant) {
    // Straight for 5 s, then a sudden turn of 3 degrees a second: the rate
    // closes in on 180 degrees a minute as 1 - exp(-t / time constant).
    for (const double timeConstant : {0.0, 0.5, 2.0}) {
        SCOPED_TRACE(timeConstant);
        RateOfTurn filter;
        filter.setTimeConstant(timeConstant);
        for (int epoch = 0; epoch <= 50; ++epoch) {
            (void)filter.add(epoch * 100, 90);
        }
        for (int epoch = 1; epoch <= 25; ++epoch) {
            const double seconds = epoch * 0.1;
            const double expected =
                timeConstant > 0 ? 180 * (1 - std::exp(-seconds / timeConstant)) : 180;
            ASSERT_NEAR(filter.add(5000 + epoch * 100, 90 + 3 * seconds).value_or(0), expected,
                        0.01)
                << seconds << " s into the turn";
        }
    }
}

TEST(RateOfTurn, AGapOfMoreThanTwoSecondsStartsAfresh) {
    RateOfTurn filter;
    (void)filter.add(0, 10);
    ASSERT_TRUE(filter.add(1000, 13));
    EXPECT_FALSE(filter.add(3001, 19)) << "2.001 s after the last heading";
    // 2 s is still a rate, and the turn before the gap is forgotten.
    EXPECT_NEAR(filter.add(5001, 25).value_or(0), 180, 1e-9);
}

}  // namespace
}  // namespace bivane

#include "heading/rate_of_turn.h"

#include <gtest/gtest.h>

#include <cmath>

namespace bivane {
namespace {

// Headings of a steady turn at `degreesPerSecond`, one epoch every `stepMs`
// from `startMs` and `startHeading`, wrapped to 0..360: every rate after the
// first heading, degrees per minute.
std::vector<double> steadyTurn(RateOfTurn& filter, double startHeading, double degreesPerSecond,
                               int epochs, std::int64_t stepMs = 100, std::int64_t startMs = 0) {
    std::vector<double> rates;
    for (int epoch = 0; epoch < epochs; ++epoch) {
        const double seconds = static_cast<double>(epoch * stepMs) / 1000;
        double heading = std::fmod(startHeading + degreesPerSecond * seconds, 360.0);
        if (heading < 0) {
            heading += 360;
        }
        const auto rate = filter.add((startMs + epoch * stepMs) % 86'400'000, heading);
        if (epoch == 0) {
            EXPECT_FALSE(rate) << "one heading gives no rate";
        } else if (rate) {
            rates.push_back(*rate);
        } else {
            ADD_FAILURE() << "no rate at epoch " << epoch;
        }
    }
    return rates;
}

TEST(RateOfTurn, SteadyTurnsGiveTheirRateWithoutASpikeAtNorth) {
    const struct {
        const char* legend;
        double start;
        double degreesPerSecond;
        std::int64_t stepMs;
        std::int64_t startMs;
        double timeConstant;
    } rows[] = {
        {"starboard across 000", 340, 3, 100, 0, 2},
        {"port across 000", 20, -3, 100, 0, 2},
        {"starboard at 1 Hz, no smoothing", 300, 3, 1000, 0, 0},
        {"port across 000 and across midnight", 15, -20, 50, 86'399'000, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        RateOfTurn filter;
        filter.setTimeConstant(row.timeConstant);
        const std::vector<double> rates =
            steadyTurn(filter, row.start, row.degreesPerSecond, 200, row.stepMs, row.startMs);
        const double expected = row.degreesPerSecond * 60;
        for (double rate : rates) {
            ASSERT_NEAR(rate, expected, std::fabs(expected) * 0.01);
        }
    }
}

TEST(RateOfTurn, SmoothsWithItsTimeConstant) {
    // Straight for 5 s, then a sudden turn of 3 degrees a second.
    for (const double timeConstant : {0.0, 2.0}) {
        SCOPED_TRACE(timeConstant);
        RateOfTurn filter;
        filter.setTimeConstant(timeConstant);
        for (int epoch = 0; epoch <= 50; ++epoch) {
            (void)filter.add(epoch * 100, 90);
        }
        std::optional<double> rate;
        for (int epoch = 1; epoch <= 20; ++epoch) {  // one time constant of 2 s
            rate = filter.add(5000 + epoch * 100, 90 + 0.3 * epoch);
        }
        ASSERT_TRUE(rate);
        const double expected = timeConstant > 0 ? 180 * (1 - std::exp(-1.0)) : 180;
        EXPECT_NEAR(*rate, expected, 0.5);
    }
}

TEST(RateOfTurn, AGapOfMoreThanTwoSecondsStartsAfresh) {
    RateOfTurn filter;
    (void)filter.add(0, 10);
    ASSERT_TRUE(filter.add(1000, 13));
    EXPECT_FALSE(filter.add(3001, 19)) << "2.001 s after the last heading";
    const auto rate = filter.add(5001, 25);
    ASSERT_TRUE(rate) << "2 s is still a rate";
    EXPECT_NEAR(*rate, 180, 1e-9) << "the turn before the gap is forgotten";
}

}  // namespace
}  // namespace bivane

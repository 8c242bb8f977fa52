#include "heading/baseline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "nmea/angle_constants.h"

namespace bivane {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Offsets {
    double x1, y1, x2, y2;  // GPS 1 (aft) and GPS 2 (forward), metres
};

struct Calculated {
    std::optional<std::string> failure;
    CompassState state;
    MainWindowText window;
};

// Runs CalculateBaseline on `state` with the given offsets.
void Calculate(Calculated& c, const Offsets& o) {
    c.state.OffsetX = {o.x1, o.x2};
    c.state.OffsetY = {o.y1, o.y2};
    c.failure = CalculateBaseline(c.state, c.window, '.');
}

// The correction turns the azimuth from GPS 1 to GPS 2 into the vessel's
// heading: minus GPS 2's bearing from the bow, from -pi/2 up to 3 pi/2.
TEST(CalculateBaseline, LengthCorrectionAndCaption) {
    const struct {
        const char* legend;
        Offsets offsets;
        double baseline, correction;
        const char* caption;
    } rows[] = {
        {"all zero", {0, 0, 0, 0}, 0, 0, "0.00 m"},
        {"starboard", {0, 0, 3, 0}, 3, -kHalfPi, "3.00 m"},
        {"astern", {0, 0, 0, -2}, 2, kPi, "2.00 m"},
        {"ahead to starboard", {0, -2, 1, 2}, std::sqrt(17.0), std::atan(4.0) - kHalfPi, "4.12 m"},
        {"ahead to port", {0, 0, -3, 4}, 5, std::atan(0.75), "5.00 m"},
        {"astern to port", {0, 0, -3, -4}, 5, kPi - std::atan(0.75), "5.00 m"},
        // Just past abeam to starboard the correction is just below its upper end.
        {"a hair abaft starboard", {0, 0, 3, -1e-9}, 3, kThreeHalfPi - 1e-9 / 3, "3.00 m"},
        {"rounded to two decimals", {1.5, -3.5, 1.5, 8.8456}, 12.3456, 0, "12.35 m"},
    };
    for (const auto& row : rows) {
        Calculated c;
        Calculate(c, row.offsets);
        EXPECT_EQ(c.failure, std::nullopt) << row.legend;
        EXPECT_NEAR(c.state.CalculatedBaseline, row.baseline, 1e-12) << row.legend;
        EXPECT_NEAR(c.state.HeadingCorrection, row.correction, 1e-12) << row.legend;
        EXPECT_EQ(c.window.lblCalculated.text, row.caption) << row.legend;
    }
}

TEST(CalculateBaseline, OffsetsBeyondTheDoubleRangeChangeNothing) {
    const Offsets rows[] = {
        {-1e308, 0, 1e308, 0},  // the difference overflows
        {0, 0, 3e154, 4e154},   // its square overflows
        {0, 0, kInf, 0},        // "1e400" typed into the offset dialog
        {0, kNaN, 0, 0},
    };
    for (const Offsets& row : rows) {
        Calculated c;
        Calculate(c, {0, 0, 3, 4});
        const CompassState before = c.state;
        const LabelText caption = c.window.lblCalculated;
        Calculate(c, row);
        EXPECT_EQ(c.failure, "The antenna offsets are too large: the calculated baseline overflows")
            << row.x2 << ", " << row.y2;
        EXPECT_EQ(c.state.CalculatedBaseline, before.CalculatedBaseline);
        EXPECT_EQ(c.state.HeadingCorrection, before.HeadingCorrection);
        EXPECT_EQ(c.window.lblCalculated, caption);
    }
}

}  // namespace
}  // namespace bivane

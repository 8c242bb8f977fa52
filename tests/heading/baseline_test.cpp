#include "heading/baseline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "heading/geodesy.h"
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
void Calculate(Calculated& c, const Offsets& o, char decimalSeparator = '.') {
    c.state.OffsetX = {o.x1, o.x2};
    c.state.OffsetY = {o.y1, o.y2};
    c.failure = CalculateBaseline(c.state, c.window, decimalSeparator);
}

// Exactly starboard and exactly port must not come out as the other side of
// the wrap (3 pi/2 for starboard).
TEST(PlaneDistanceAzimuth, ExactAbeamAnglesAreExact) {
    double distance = 0;
    double azimuth = 0;
    PlaneDistanceAzimuth(-1.5, 7, 2.5, 7, distance, azimuth);
    EXPECT_EQ(azimuth, kHalfPi);
    PlaneDistanceAzimuth(2.5, 7, -1.5, 7, distance, azimuth);
    EXPECT_EQ(azimuth, kThreeHalfPi);
}

TEST(CalculateBaseline, LengthCorrectionAndCaption) {
    struct Row {
        const char* legend;
        Offsets offsets;
        double baseline, correction;
        const char* caption;       // with "."
        const char* commaCaption;  // with ","
    };
    const Row rows[] = {
        {"all zero", {0, 0, 0, 0}, 0, 0, "0.00 m", "0,00 m"},
        {"ahead", {0, 0, 0, 10}, 10, 0, "10.00 m", "10,00 m"},
        {"starboard", {0, 0, 3, 0}, 3, -kHalfPi, "3.00 m", "3,00 m"},
        {"port", {0, 0, -3, 0}, 3, kHalfPi, "3.00 m", "3,00 m"},
        {"ahead to starboard",
         {0, -2, 1, 2},
         std::sqrt(17.0),
         std::atan(4.0) - kHalfPi,
         "4.12 m",
         "4,12 m"},
        // Just past abeam to starboard the correction is just below its upper end.
        {"a hair abaft starboard",
         {0, 0, 3, -1e-9},
         3,
         kThreeHalfPi - 1e-9 / 3,
         "3.00 m",
         "3,00 m"},
        {"rounded to two decimals", {1.5, -3.5, 1.5, 8.8456}, 12.3456, 0, "12.35 m", "12,35 m"},
    };
    for (const Row& row : rows) {
        Calculated point;
        Calculate(point, row.offsets);
        EXPECT_EQ(point.failure, std::nullopt) << row.legend;
        EXPECT_NEAR(point.state.CalculatedBaseline, row.baseline, 1e-12) << row.legend;
        EXPECT_NEAR(point.state.HeadingCorrection, row.correction, 1e-12) << row.legend;
        EXPECT_EQ(point.window.lblCalculated.text, row.caption) << row.legend;
        Calculated comma;
        Calculate(comma, row.offsets, ',');
        EXPECT_EQ(comma.window.lblCalculated.text, row.commaCaption) << row.legend;
    }
}

// Whatever the direction of GPS 2 from GPS 1, the heading that the cycle
// derives from the observed azimuth comes out as the vessel's heading.
TEST(CalculateBaseline, CorrectionTurnsTheBaselineAzimuthIntoTheHeading) {
    const double vesselHeading = 0.3;
    for (int halfDegrees = 0; halfDegrees < 720; ++halfDegrees) {
        const double bearing = halfDegrees * 0.5 * kDegToRad;  // relative to the bow
        Calculated c;
        Calculate(c, {-0.7, -5, -0.7 + 4.2 * std::sin(bearing), -5 + 4.2 * std::cos(bearing)});
        const double correction = c.state.HeadingCorrection;
        EXPECT_NEAR(c.state.CalculatedBaseline, 4.2, 1e-12) << halfDegrees;
        EXPECT_GE(correction, -kHalfPi) << halfDegrees;
        EXPECT_LT(correction, kThreeHalfPi) << halfDegrees;
        const double observed = WrapAngle(vesselHeading, bearing);
        const double heading = WrapAngle(observed, correction);
        EXPECT_NEAR(std::remainder(heading - vesselHeading, kTwoPi), 0, 1e-9) << halfDegrees;
    }
}

TEST(CalculateBaseline, OffsetsBeyondTheDoubleRangeChangeNothing) {
    const Offsets rows[] = {
        {-1e308, 0, 1e308, 0},  // the difference overflows
        {0, 0, 3e154, 4e154},   // its square overflows
        {0, 0, kInf, 0},        // "1e400" typed into the offset dialog
        {kInf, 0, kInf, 1},     // infinity minus infinity
        {0, kNaN, 0, 0},
    };
    for (const Offsets& row : rows) {
        Calculated c;
        Calculate(c, {0, 0, 3, 4});
        ASSERT_EQ(c.failure, std::nullopt);
        const CompassState before = c.state;
        const LabelText caption = c.window.lblCalculated;
        Calculate(c, row);
        ASSERT_TRUE(c.failure.has_value()) << row.x2 << ", " << row.y2;
        EXPECT_FALSE(c.failure->empty());
        EXPECT_EQ(c.state.CalculatedBaseline, before.CalculatedBaseline);
        EXPECT_EQ(c.state.HeadingCorrection, before.HeadingCorrection);
        EXPECT_EQ(c.window.lblCalculated, caption);
        EXPECT_EQ(caption.text, "5.00 m");
    }
}

}  // namespace
}  // namespace bivane

// The geodesy on the WGS 84 ellipsoid against GeographicLib, and the baseline
// the antenna offsets give.

#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <iomanip>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "heading/baseline.h"
#include "heading/geodesy.h"
#include "nmea/angle_constants.h"

namespace bivane {
namespace {

struct Inverse {
    double distance = -7;  // outside anything the routine writes
    double azimuth = -7;
};

// The call the heading cycle makes, with a choice of axis.
Inverse InverseRad(double lat1, double lon1, double lat2, double lon2,
                   double axis = kWgs84SemiMajorAxis,
                   GeodesicMode mode = GeodesicMode::DistanceAndAzimuth) {
    Inverse r;
    InverseGeodesic(lat1, lon1, lat2, lon2, mode, axis, kWgs84Flattening, r.distance, r.azimuth);
    return r;
}

TEST(InverseGeodesic, CoincidentPointsGiveZeroInEveryMode) {
    for (const std::int16_t mode : std::initializer_list<std::int16_t>{0, 1, 2, 3, -1}) {
        const Inverse r = InverseRad(0.5, 0.2, 0.5 + 1e-11, 0.2 - 1e-11, kWgs84SemiMajorAxis,
                                     static_cast<GeodesicMode>(mode));
        EXPECT_EQ(r.distance, 0.0) << "mode " << mode;
        EXPECT_EQ(r.azimuth, 0.0) << "mode " << mode;
    }
    // 2e-10 rad apart is no longer the same point: a line due north, 1.27001814 mm
    // long by GeographicLib.
    const Inverse r = InverseRad(0.5, 0.2, 0.5 + 2e-10, 0.2, kWgs84SemiMinorAxis);
    EXPECT_NEAR(r.distance, 1.27001814e-3, 1e-10);
    EXPECT_EQ(r.azimuth, 0.0);
    // The same in longitude: 1.1 mm due west.
    EXPECT_GT(InverseRad(0.5, 0.2, 0.5, 0.2 - 2e-10).distance, 1e-3);
}

TEST(InverseGeodesic, OnTheEquatorExactlyEastOrWest) {
    const struct {
        const char* legend;
        double lon1, lon2;  // radians
        double azimuth;
    } rows[] = {
        {"east", 0.1, 0.1000001, kHalfPi},
        {"west", 0.1000001, 0.1, kThreeHalfPi},
        {"east across 0", -1e-6, 1e-6, kHalfPi},
        {"east from 0", 0, 1e-6, kHalfPi},
        {"west onto 0", 1e-6, 0, kThreeHalfPi},
        {"west across 180", -3.1415926, 3.1415926, kThreeHalfPi},
    };
    for (const auto& row : rows) {
        const Inverse r = InverseRad(0, row.lon1, 0, row.lon2, kWgs84SemiMinorAxis);
        EXPECT_EQ(r.azimuth, row.azimuth) << row.legend;
    }
}

// Baselines from 0.5 m to 1 km in every direction, at latitudes up to 85
// degrees, anywhere in longitude and astride 0 and 180 degrees; the reference
// is GeographicLib.
TEST(InverseGeodesic, AgreesWithGeographicLib) {
    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    std::mt19937_64 random(20070105);
    auto uniform = [&random](double low, double high) {
        return low + (high - low) * static_cast<double>(random() >> 11) * 0x1.0p-53;
    };
    constexpr int kPairsPerSetting = 100000;
    for (const double middle : {std::numeric_limits<double>::quiet_NaN(), 0.0, 180.0}) {
        for (int i = 0; i < kPairsPerSetting; ++i) {
            const double length = 0.5 * std::pow(2000.0, uniform(0, 1));
            const double before = length * uniform(0, 1);
            const double latMiddle = uniform(-84.99, 84.99);
            const double lonMiddle = std::isnan(middle) ? uniform(-180, 180) : middle;
            const GeographicLib::GeodesicLine line =
                wgs84.Line(latMiddle, lonMiddle, uniform(-180, 180));
            double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
            line.Position(-before, lat1, lon1);
            line.Position(length - before, lat2, lon2);
            double s12 = 0, azi1 = 0, azi2 = 0;
            wgs84.Inverse(lat1, lon1, lat2, lon2, s12, azi1, azi2);

            // Degrees become radians as the GGA decoder makes them, with the
            // program's pi; the axis is the one the heading cycle passes.
            const Inverse minor = InverseRad(lat1 * kDegToRad, lon1 * kDegToRad, lat2 * kDegToRad,
                                             lon2 * kDegToRad, kWgs84SemiMinorAxis);
            const auto where = ::testing::Message()
                               << std::setprecision(12) << "(" << lat1 << ", " << lon1 << ") to ("
                               << lat2 << ", " << lon2 << "), " << s12 << " m";
            ASSERT_LE(std::fabs(std::remainder(minor.azimuth * kRadToDeg - azi1, 360.0)), 0.001)
                << where;
            ASSERT_LE(std::fabs(minor.distance - s12) / s12, 1e-6) << where;
        }
    }
}

TEST(InverseGeodesic, AVeryShortLineDueEastAlongAParallelPointsEast) {
    // 1 - cos(lambda) rounds to 0 for these, so the formula's T is exactly 0.
    for (const double step : {1e-9, 5e-9, 1e-8}) {
        SCOPED_TRACE(step);
        EXPECT_NEAR(InverseRad(0.5, 0.1, 0.5, 0.1 + step).azimuth, kHalfPi, 1e-6);
        EXPECT_NEAR(InverseRad(0.5, 0.1, 0.5, 0.1 - step).azimuth, kThreeHalfPi, 1e-6);
    }
}

// The radii at a latitude show in the difference panel of the no_fix golden
// capture, to the decimetre over hundreds of kilometres. The longitude
// difference is taken as it stands, even across 180 degrees.
TEST(NorthEastMetres, LeavesTheLongitudeDifferenceUnwrappedAcross180) {
    float north = -7;
    float east = -7;
    NorthEastMetres(0, 3.14, 0, -3.14, north, east);
    EXPECT_EQ(north, 0);
    EXPECT_NEAR(east, -6.28 * 6378137.0, 40);
}

TEST(ArcSin, LimitsAndOrdinaryValues) {
    // Just beyond 1 still counts as 1; from 1.0001 on there is no angle: 0.
    const double halfPi = 1.5707963267948966;
    const struct {
        double x;
        double expected;
    } rows[] = {
        {1, halfPi}, {-1, -halfPi}, {1.00009999, halfPi},
        {1.0001, 0}, {-1.0001, 0},  {std::numeric_limits<double>::infinity(), 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ArcSin(row.x), row.expected) << "x = " << row.x;
    }
    for (double x = -0.999999; x < 1; x += 0.0123) {
        EXPECT_NEAR(ArcSin(x), std::asin(x), 1e-12) << "x = " << x;
    }
}

TEST(WrapAngle, BringsTheSumIntoZeroToTwoPi) {
    const struct {
        double a, b;
        double expected;
    } rows[] = {
        {0, 0, 0},      {6.0, 0.5, 6.5 - kTwoPi}, {-0.1, 0, -0.1 + kTwoPi},
        {kTwoPi, 0, 0}, {kHalfPi, -kHalfPi, 0},   {-20, 0, -20 + 4 * kTwoPi},
        {-1e-17, 0, 0},  // just below 0 rounds up to 2 pi, which is 0 again
    };
    for (const auto& row : rows) {
        const double wrapped = WrapAngle(row.a, row.b);
        EXPECT_NEAR(wrapped, row.expected, 1e-12) << row.a << " + " << row.b;
        EXPECT_GE(wrapped, 0) << row.a << " + " << row.b;
    }
}

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

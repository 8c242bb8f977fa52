#include "tools/sim/vessel_model.h"

#include <gtest/gtest.h>
#include <GeographicLib/Geodesic.hpp>

#include <cmath>

namespace bivane::sim {
namespace {

const GeographicLib::Geodesic& wgs84() {
    return GeographicLib::Geodesic::WGS84();
}

TEST(VesselTruth, AzimuthFromAntenna1To2LessTheBaselineBearingIsTheHeading) {
    struct Offsets {
        const char* legend;
        AntennaOffsets offsets;
    };
    const Offsets offsetRows[] = {
        {"GPS 2 ahead of GPS 1 at the reference", {{0, 0}, {0, 2}}},
        {"GPS 2 astern", {{0, 0}, {0, -4}}},
        {"GPS 2 to starboard", {{0, 0}, {3, 0}}},
        {"GPS 2 to port", {{0, 0}, {-3, 0}}},
        {"diagonal, neither at the reference", {{0, -2}, {1, 2}}},
        {"both off the centre line, port aft to starboard fore", {{-1.5, -6}, {2.5, 3}}},
        {"long baseline", {{0.3, -20}, {-0.4, 25}}},
    };
    struct Place {
        double latitude, longitude, heading;
    };
    const Place places[] = {
        {0, 0, 0},
        {53.5, 8, 45},
        {-33.9, 18.4, 271.3},
        {60, -179.99999, 90},
        {-45, 179.99999, 180},
        {70, 20, 359.95},
        {-10, -75, 12.5},
    };
    for (const Offsets& row : offsetRows) {
        for (const Place& place : places) {
            const VesselModel vessel({place.latitude, place.longitude}, place.heading, 0, 0,
                                     row.offsets);
            const EpochTruth truth = vessel.truth();
            double distance = 0, azimuth1 = 0, azimuth2 = 0;
            wgs84().Inverse(truth.antenna[0].latitude, truth.antenna[0].longitude,
                            truth.antenna[1].latitude, truth.antenna[1].longitude, distance,
                            azimuth1, azimuth2);
            const double heading = azimuth1 - BaselineBearing(row.offsets);
            // Meridians converge across the offsets: a few ten-thousandths of
            // a degree at these latitudes, far below the 0.1 degree of HDT.
            EXPECT_NEAR(AngleDifference(heading, place.heading), 0, 5e-4)
                << row.legend << " at " << place.latitude << ", " << place.longitude;
            const double dx = row.offsets.x[1] - row.offsets.x[0];
            const double dy = row.offsets.y[1] - row.offsets.y[0];
            EXPECT_NEAR(distance, std::hypot(dx, dy), 1e-6) << row.legend;
        }
    }
}

TEST(VesselTruth, AnAntennaAtTheReferenceStandsOnItAndOthersAtTheirDistance) {
    const VesselModel vessel({53.5, 8}, 30, 0, 0, {{0, 4}, {0, 3}});
    const EpochTruth truth = vessel.truth();
    EXPECT_EQ(truth.antenna[0].latitude, 53.5);
    EXPECT_EQ(truth.antenna[0].longitude, 8);
    double distance = 0, azimuth1 = 0, azimuth2 = 0;
    wgs84().Inverse(53.5, 8, truth.antenna[1].latitude, truth.antenna[1].longitude, distance,
                    azimuth1, azimuth2);
    EXPECT_NEAR(distance, 5, 1e-9);
    // 4 m to starboard and 3 m ahead: 53.13 degrees to starboard of the bow.
    EXPECT_NEAR(azimuth1, 30 + std::atan2(4.0, 3.0) * 180 / 3.14159265358979323846, 1e-7);
}

TEST(VesselMotion, SailsAlongItsHeadingAtItsSpeed) {
    VesselModel vessel({-20, 179.9999}, 80, 0, 5.0, {});
    for (int i = 0; i < 10; ++i) {
        vessel.advance(0.5);
    }
    const EpochTruth truth = vessel.truth();
    double distance = 0, azimuth1 = 0, azimuth2 = 0;
    wgs84().Inverse(-20, 179.9999, truth.reference.latitude, truth.reference.longitude, distance,
                    azimuth1, azimuth2);
    // A constant heading is a rhumb line, a hair off the geodesic.
    EXPECT_NEAR(distance, 25, 1e-6);
    EXPECT_NEAR(azimuth1, 80, 1e-4);
    EXPECT_LT(truth.reference.longitude, -179.99) << "crossed the antimeridian";
    EXPECT_DOUBLE_EQ(truth.heading, 80);
}

TEST(VesselMotion, AFullTurnComesBackToTheStartAndTheStartHeading) {
    // 3 degrees a second for 120 s: a closed circle of about 98 m radius.
    VesselModel vessel({53.5, 8}, 10, 3, 5.144, {});
    double headingAfterHalf = 0;
    for (int i = 0; i < 120; ++i) {
        vessel.advance(1);
        if (i == 59) {
            headingAfterHalf = vessel.truth().heading;
        }
    }
    const EpochTruth truth = vessel.truth();
    double distance = 0, azimuth1 = 0, azimuth2 = 0;
    wgs84().Inverse(53.5, 8, truth.reference.latitude, truth.reference.longitude, distance,
                    azimuth1, azimuth2);
    EXPECT_LT(distance, 0.01);
    EXPECT_NEAR(headingAfterHalf, 190, 1e-9);
    EXPECT_NEAR(AngleDifference(truth.heading, 10), 0, 1e-9);
}

TEST(VesselAngles, WrapAndDifference) {
    struct Row {
        double a, b, wrapped, difference;
    };
    const Row rows[] = {
        {0, 0, 0, 0},       {360, 0, 0, 0},          {-90, 0, 270, -90},
        {725, 5, 5, 0},     {359.5, 0.5, 359.5, -1}, {0.5, 359.5, 0.5, 1},
        {180, 0, 180, 180}, {-180, 0, 180, 180},     {-1e-15, 0, 0, 0},
    };
    for (const Row& row : rows) {
        EXPECT_NEAR(WrapDegrees(row.a), row.wrapped, 1e-12) << row.a;
        EXPECT_GE(WrapDegrees(row.a), 0) << row.a;
        EXPECT_LT(WrapDegrees(row.a), 360) << row.a;
        EXPECT_NEAR(AngleDifference(row.a, row.b), row.difference, 1e-12)
            << row.a << " - " << row.b;
    }
}

}  // namespace
}  // namespace bivane::sim

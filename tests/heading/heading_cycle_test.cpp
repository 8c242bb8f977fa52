#include "heading/heading_cycle.h"

#include <gtest/gtest.h>
#include <GeographicLib/Geodesic.hpp>

#include "heading/baseline.h"
#include "nmea/angle_constants.h"
#include "tests/support/engine_fakes.h"

namespace bivane {
namespace {

using test::FixedClock;
using test::RecordingOutput;

// Two fixes at a known geometry: GPS 2 lies `distance` metres from GPS 1 in
// direction `azimuth` (degrees), computed with GeographicLib.
void placeFixes(CompassState& state, double azimuthDegrees, double distance, double latitude = 60.0,
                double longitude = 10.0) {
    double lat2 = 0;
    double lon2 = 0;
    GeographicLib::Geodesic::WGS84().Direct(latitude, longitude, azimuthDegrees, distance, lat2,
                                            lon2);
    GgaRecord& gps1 = state.GpsFix[1];
    GgaRecord& gps2 = state.GpsFix[2];
    gps1.Latitude = latitude * kDegToRad;
    gps1.Longitude = longitude * kDegToRad;
    gps2.Latitude = lat2 * kDegToRad;
    gps2.Longitude = lon2 * kDegToRad;
    for (GgaRecord* fix : {&gps1, &gps2}) {
        fix->UtcTime = "12:35:19.00";
        fix->Quality = 1;
        fix->Satellites = 8;
        fix->Hdop = 0.9f;
    }
}

class HeadingCycleTest : public ::testing::Test {
  protected:
    HeadingCycleTest() {
        state.HeadingOutput = true;
        cycle.setObserver([this](const CycleReport& report) { last = report; });
    }

    void run() { cycle.MainLoop(); }

    CompassState state;
    MainWindowText window;
    RecordingOutput port3;
    RecordingOutput log;
    FixedClock clock;
    HeadingCycle cycle{state, window, port3, log, clock, '.'};
    CycleReport last;
};

struct OutcomeRow {
    const char* legend;
    const char* utc1;
    const char* utc2;
    int quality2;
    float tolerance;
    CycleOutcome outcome;
};

TEST_F(HeadingCycleTest, DecidesTheOutcomeFromTheFixTimesAndQuality) {
    const OutcomeRow rows[] = {
        {"GPS 2 has sent nothing", "12:35:19.00", "", 1, 0.2f, CycleOutcome::NotReady},
        {"same second", "12:35:19.00", "12:35:19.00", 1, 0.2f, CycleOutcome::Heading},
        {"one second apart: partner on its way", "12:35:20.00", "12:35:19.00", 1, 0.2f,
         CycleOutcome::Waiting},
        {"exactly the tolerance is not below it", "12:35:19.20", "12:35:19.00", 1, 0.2f,
         CycleOutcome::Waiting},
        {"just below the tolerance", "12:35:19.19", "12:35:19.00", 1, 0.2f, CycleOutcome::Heading},
        {"10 Hz receivers one epoch apart", "12:35:19.10", "12:35:19.00", 1, 0.05f,
         CycleOutcome::Waiting},
        {"just below the stale limit", "12:35:20.49", "12:35:19.00", 1, 0.2f,
         CycleOutcome::Waiting},
        {"at the stale limit", "12:35:19.00", "12:35:20.50", 1, 0.2f, CycleOutcome::Stale},
        {"a silent receiver two seconds behind", "12:35:21.00", "12:35:19.00", 1, 0.2f,
         CycleOutcome::Stale},
        {"same second, GPS 2 without a fix", "12:35:19.00", "12:35:19.00", 0, 0.2f,
         CycleOutcome::NoFix},
        {"across midnight the short way", "23:59:59.90", "00:00:00.00", 1, 0.2f,
         CycleOutcome::Heading},
        {"a second across midnight waits", "23:59:59.00", "00:00:00.00", 1, 0.2f,
         CycleOutcome::Waiting},
        {"tolerance 2 takes a second apart", "12:35:20.00", "12:35:19.00", 1, 2.0f,
         CycleOutcome::Heading},
        {"tolerance 0 never computes", "12:35:19.00", "12:35:19.00", 1, 0.0f,
         CycleOutcome::Waiting},
        {"tolerance above the stale limit", "12:35:22.00", "12:35:19.00", 1, 5.0f,
         CycleOutcome::Heading},
        {"negative tolerance, far apart", "12:35:22.00", "12:35:19.00", 1, -1.0f,
         CycleOutcome::Stale},
    };
    for (const OutcomeRow& row : rows) {
        SCOPED_TRACE(row.legend);
        state = CompassState{};
        state.HeadingOutput = true;
        window = MainWindowText{};
        placeFixes(state, 30, 2);
        state.GpsFix[1].UtcTime = row.utc1;
        state.GpsFix[2].UtcTime = row.utc2;
        state.GpsFix[2].Quality = static_cast<std::int16_t>(row.quality2);
        state.TimeTolerance = row.tolerance;
        port3.text.clear();
        const MainWindowText before = window;

        run();

        EXPECT_EQ(last.outcome, row.outcome);
        const bool heading = row.outcome == CycleOutcome::Heading;
        EXPECT_EQ(!port3.text.empty(), heading);
        switch (row.outcome) {
            case CycleOutcome::NotReady:
            case CycleOutcome::Waiting:
                EXPECT_TRUE(window == before) << "the window must not change";
                break;
            case CycleOutcome::Heading:
                EXPECT_FALSE(window.lblOld.visible);
                EXPECT_EQ(window.lblUTC[0].color, kBlack);
                EXPECT_EQ(window.lblHeading.color, kBlack);
                break;
            default:
                EXPECT_TRUE(window.lblOld.visible);
                EXPECT_EQ(window.lblUTC[0].color, kLightRed);
                EXPECT_EQ(window.lblHeading.color, kLightRed);
                EXPECT_EQ(window.lblUTC[1].text, row.utc1) << "panels are refreshed";
                EXPECT_EQ(window.lblHeading.text, "000.0") << "the heading keeps its text";
                break;
        }
    }
}

TEST_F(HeadingCycleTest, SendsShowsAndLogsTheHeadingSentence) {
    placeFixes(state, 57.3, 10);
    state.Logging = true;
    run();
    ASSERT_EQ(last.outcome, CycleOutcome::Heading);
    EXPECT_EQ(window.lblHDT.text, "$GPHDT,057.3,T*34");
    EXPECT_EQ(port3.text, "$GPHDT,057.3,T*34\r\n");
    EXPECT_EQ(log.text, port3.text);
    EXPECT_EQ(window.lblHeading.text, "057.3");
    EXPECT_EQ(window.lblBaseline.text, "10.00 m");
    EXPECT_EQ(window.lblC_O.text, "-10.00 m");
    EXPECT_EQ(window.lblCorrespond.text, "0.0 \xC2\xB0") << "no calculated baseline: kept";
    EXPECT_FLOAT_EQ(state.HdtData.Heading, last.heading);

    state.HeadingOutput = false;
    state.Logging = false;
    placeFixes(state, 123.4, 10);
    run();
    EXPECT_EQ(window.lblHDT.text, "$GPHDT,123.4,T*31") << "shown with the output off too";
    EXPECT_EQ(port3.text, "$GPHDT,057.3,T*34\r\n") << "nothing more sent";
    EXPECT_EQ(log.text, port3.text) << "nothing more logged";
}

TEST_F(HeadingCycleTest, AddsTheHeadingCorrectionOfTheMounting) {
    struct Row {
        const char* legend;
        std::array<double, 4> offsets;  // X1, Y1, X2, Y2
        double observedAzimuth;
        const char* heading;
    };
    const Row rows[] = {
        {"GPS 2 ahead", {0, 0, 0, 2}, 10.0, "010.0"},
        {"GPS 2 to starboard", {0, 0, 3, 0}, 90.2, "000.2"},
        {"GPS 2 to port, vessel heading 45", {0, 0, -3, 0}, 315.0, "045.0"},
        {"GPS 2 astern", {0, 0, 0, -4}, 10.0, "190.0"},
        {"wrap below north", {0, -2, 1, 2}, 5.0, "351.0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        state.OffsetX = {row.offsets[0], row.offsets[2]};
        state.OffsetY = {row.offsets[1], row.offsets[3]};
        ASSERT_FALSE(CalculateBaseline(state, window, '.'));
        placeFixes(state, row.observedAzimuth, state.CalculatedBaseline);
        run();
        EXPECT_EQ(window.lblHeading.text, row.heading);
        EXPECT_EQ(window.lblC_O.text, "0.00 m");
        EXPECT_EQ(window.lblCorrespond.text, "0.00\xC2\xB0");
    }
}

TEST_F(HeadingCycleTest, ComparesTheObservedWithTheCalculatedBaseline) {
    state.OffsetY = {0, 10};
    ASSERT_FALSE(CalculateBaseline(state, window, '.'));
    placeFixes(state, 0, 9.9);
    run();
    // The observed length is the true geodesic length, not 0.34 % longer.
    EXPECT_EQ(window.lblBaseline.text, "9.90 m");
    EXPECT_EQ(window.lblC_O.text, "0.10 m");
    EXPECT_EQ(window.lblCorrespond.text, "0.57\xC2\xB0");
    EXPECT_NEAR(last.observedBaseline, 9.9, 1e-5);
}

TEST_F(HeadingCycleTest, ScreenTextsUseTheUsersDecimalSeparator) {
    HeadingCycle commaCycle(state, window, port3, log, clock, ',');
    placeFixes(state, 57.3, 10);
    commaCycle.MainLoop();
    EXPECT_EQ(window.lblHeading.text, "057,3");
    EXPECT_EQ(window.lblBaseline.text, "10,00 m");
    EXPECT_EQ(window.lblHDT.text, "$GPHDT,057.3,T*34") << "the sentence keeps its point";
}

TEST_F(HeadingCycleTest, AFailingStepEndsTheCycleThere) {
    placeFixes(state, 57.3, 10);
    state.Logging = true;
    port3.failure = "Com port  3 is not open";
    run();
    EXPECT_EQ(last.outcome, CycleOutcome::Failed);
    EXPECT_EQ(window.lblError.text, "12:34:56 : Com port  3 is not open Error in Main Loop");
    EXPECT_EQ(window.lblHDT.text, "$GPHDT,057.3,T*34") << "done before the failing step";
    EXPECT_EQ(log.text, "") << "no log line after a failed port write";
    EXPECT_EQ(window.lblHeading.text, "000.0") << "the rest of the cycle is skipped";
    EXPECT_EQ(window.lblLat[1].text, "lblLat") << "panels are not refreshed";

    port3.failure.clear();
    log.failure = "disk full";
    clock.time.second = 57;
    run();
    EXPECT_EQ(window.lblError.text, "12:34:57 : disk full Error in Main Loop");
    EXPECT_EQ(port3.text, "$GPHDT,057.3,T*34\r\n");

    log.failure.clear();
    run();
    EXPECT_EQ(last.outcome, CycleOutcome::Heading) << "the next cycle runs normally";
    EXPECT_EQ(window.lblHeading.text, "057.3");
    EXPECT_EQ(window.lblError.text, "12:34:57 : disk full Error in Main Loop") << "kept";
}

TEST_F(HeadingCycleTest, AnInvalidTimeOfDayFailsTheCycle) {
    const char* invalid[] = {"::", "12:35:60", "24:00:00", "1a:35:19", "12-35-19"};
    for (const char* utc : invalid) {
        SCOPED_TRACE(utc);
        placeFixes(state, 0, 2);
        state.GpsFix[2].UtcTime = utc;
        window.lblError.text.clear();
        run();
        EXPECT_EQ(last.outcome, CycleOutcome::Failed);
        EXPECT_NE(window.lblError.text.find("GPS 2"), std::string::npos) << window.lblError.text;
        EXPECT_TRUE(window.lblError.text.ends_with(" Error in Main Loop"));
    }
}

TEST_F(HeadingCycleTest, OldStaysUntilTheNextComputedHeading) {
    placeFixes(state, 200, 2);
    run();
    const std::string shown = window.lblHeading.text;
    state.GpsFix[1].UtcTime = "12:35:25.00";
    run();
    EXPECT_TRUE(window.lblOld.visible);
    state.GpsFix[1].UtcTime = "12:35:25.00";
    state.GpsFix[2].UtcTime = "12:35:24.00";
    run();  // waiting: nothing changes
    EXPECT_TRUE(window.lblOld.visible);
    EXPECT_EQ(window.lblHeading.text, shown);
    state.GpsFix[2].UtcTime = "12:35:25.00";
    run();
    EXPECT_FALSE(window.lblOld.visible);
    EXPECT_EQ(window.lblHeading.color, kBlack);
}

}  // namespace
}  // namespace bivane

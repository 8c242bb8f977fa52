#include "heading/heading_cycle.h"

#include <cmath>

#include <gtest/gtest.h>
#include <GeographicLib/Geodesic.hpp>

#include "heading/baseline.h"
#include "nmea/angle_constants.h"
#include "nmea/utc_time.h"
#include "tests/support/engine_fakes.h"

namespace bivane {
namespace {

using test::FixedClock;
using test::RecordingOutput;

// `utc` as the window shows it, "12:35:19.00".
void setTime(GgaRecord& fix, const char* utc) {
    fix.UtcTime = utc;
    std::string field = utc;
    std::erase(field, ':');
    fix.TimeOfDayMs = TimeOfDayFromNmea(field);
}

// Two fixes at a known geometry: GPS 2 lies `distance` metres from GPS 1 in
// direction `azimuth` (degrees), computed with GeographicLib; GPS 1 at 60 N 10 E.
void placeFixes(CompassState& state, double azimuthDegrees, double distance,
                const char* utc = "12:35:19.00") {
    double lat2 = 0;
    double lon2 = 0;
    GeographicLib::Geodesic::WGS84().Direct(60, 10, azimuthDegrees, distance, lat2, lon2);
    state.GpsFix[1].Latitude = 60 * kDegToRad;
    state.GpsFix[1].Longitude = 10 * kDegToRad;
    state.GpsFix[2].Latitude = lat2 * kDegToRad;
    state.GpsFix[2].Longitude = lon2 * kDegToRad;
    for (GgaRecord* fix : {&state.GpsFix[1], &state.GpsFix[2]}) {
        setTime(*fix, utc);
        fix->Quality = 1;
    }
}

class HeadingCycleTest : public ::testing::Test {
  protected:
    HeadingCycleTest() {
        state.HeadingOutput = true;
        cycle.setObserver([this](const CycleReport& report) { last = report; });
    }

    // Both receivers' fixes of the epoch arrive, GPS 1's first.
    void run() {
        cycle.MainLoop(1);
        cycle.MainLoop(2);
    }

    CompassState state;
    MainWindowText window;
    RecordingOutput port3;
    RecordingOutput log;
    FixedClock clock;
    HeadingCycle cycle{state, window, port3, log, clock, '.'};
    CycleReport last;
};

TEST_F(HeadingCycleTest, DecidesTheOutcomeFromTheFixTimes) {
    const struct {
        const char* legend;
        const char* utc1;
        const char* utc2;
        float tolerance;
        CycleOutcome outcome;
    } rows[] = {
        {"GPS 2 has sent nothing", "12:35:19.00", "", 0.2f, CycleOutcome::NotReady},
        {"just below the stale limit: the partner is on its way", "12:35:20.49", "12:35:19.00",
         0.2f, CycleOutcome::Waiting},
        {"at the stale limit", "12:35:19.00", "12:35:20.50", 0.2f, CycleOutcome::Stale},
        {"at the stale limit, the tolerance as wide", "12:35:19.00", "12:35:20.50", 1.5f,
         CycleOutcome::Stale},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        state = CompassState{};
        HeadingCycle fresh(state, window, port3, log, clock, '.');
        placeFixes(state, 30, 2);
        setTime(state.GpsFix[1], row.utc1);
        setTime(state.GpsFix[2], row.utc2);
        state.TimeTolerance = row.tolerance;
        fresh.MainLoop(1);
        const MainWindowText before = window;

        fresh.MainLoop(2);

        EXPECT_EQ(fresh.lastOutcome(), row.outcome);
        if (row.outcome == CycleOutcome::NotReady || row.outcome == CycleOutcome::Waiting) {
            EXPECT_TRUE(window == before) << "the window must not change";
        }
    }
}

// A mismatch beyond the arcsine's range amounts to no angle: "n/a" in red and
// THS not valid, while HDT still goes out in the chosen order.
TEST_F(HeadingCycleTest, ABaselineBeyondTheArcsineIsNoAngleAndNotValid) {
    state.CalculatedBaseline = 10;
    state.Sentences = {HeadingSentence::Hdt, HeadingSentence::Ths};
    placeFixes(state, 57.3, 20.1);
    run();
    EXPECT_EQ(port3.text, "$GPHDT,057.3,T*34\r\n$GPTHS,,V*0E\r\n");
    EXPECT_EQ(window.lblCorrespond.text, "n/a");
    EXPECT_EQ(window.lblCorrespond.color, kLightRed);
}

TEST_F(HeadingCycleTest, AFullCircleIsSentAndShownAsNorth) {
    state.Sentences = {HeadingSentence::Hdt, HeadingSentence::Ths};
    const struct {
        double azimuth;
        const char* shown;
        const char* utc;
    } rows[] = {{359.951, "000.0", "12:35:20.00"}, {359.949, "359.9", "12:35:21.00"}};
    for (const auto& row : rows) {
        placeFixes(state, row.azimuth, 20, row.utc);
        port3.text.clear();
        run();
        EXPECT_EQ(window.lblHeading.text, row.shown) << row.azimuth;
        EXPECT_EQ(port3.text.find("360.0"), std::string::npos) << port3.text;
        EXPECT_NE(port3.text.find(row.shown), std::string::npos) << port3.text;
    }
}

// A vessel at 20 m/s due north, antennas athwartships, GPS 2 measuring 50 ms
// after GPS 1: a heading from GPS 1's fix as received would be 26.6 degrees
// off; carried forward to GPS 2's instant it is north.
TEST_F(HeadingCycleTest, TakesBothPositionsAtTheNewerFixsInstant) {
    state.OffsetX = {-1, 1};
    ASSERT_FALSE(CalculateBaseline(state, window, '.'));
    const auto place = [&](int receiver, const char* utc, double northMetres) {
        double lat = 0;
        double lon = 0;
        GeographicLib::Geodesic::WGS84().Direct(53.5, 8.0, 0, northMetres, lat, lon);
        if (receiver == 2) {
            GeographicLib::Geodesic::WGS84().Direct(lat, lon, 90, 2, lat, lon);
        }
        GgaRecord& fix = state.GpsFix[static_cast<std::size_t>(receiver)];
        fix.Latitude = lat * kDegToRad;
        fix.Longitude = lon * kDegToRad;
        fix.Quality = 4;
        setTime(fix, utc);
        cycle.MainLoop(receiver);
    };
    place(1, "12:00:00.00", 0);
    place(2, "12:00:00.05", 1);
    place(1, "12:00:00.10", 2);
    place(2, "12:00:00.15", 3);
    ASSERT_EQ(last.outcome, CycleOutcome::Heading);
    EXPECT_EQ(window.lblHeading.text, "000.0");
    EXPECT_EQ(window.lblC_O.text, "0.00 m");
    EXPECT_EQ(window.lblUTC[0].text, "-0.05 sec") << "the two fixes' own times";
}

TEST_F(HeadingCycleTest, ScreenTextsUseTheUsersDecimalSeparator) {
    HeadingCycle commaCycle(state, window, port3, log, clock, ',');
    placeFixes(state, 57.3, 10);
    commaCycle.MainLoop(1);
    commaCycle.MainLoop(2);
    EXPECT_EQ(window.lblHeading.text, "057,3");
    EXPECT_EQ(window.lblLat[1].text,
              "60\xC2\xB0"
              "00'00,000\"N")
        << "the fix panels too";
    EXPECT_EQ(window.lblHDT.text, "$GPHDT,057.3,T*34") << "the sentence keeps its point";
}

// A failing output delays no other and never freezes the display; with the
// heading output off, port 3 gets nothing and the window still shows it.
TEST_F(HeadingCycleTest, EveryOutputGetsTheSentencesOfTheCycleWhicheverFails) {
    RecordingOutput tcp;
    RecordingOutput udp;
    cycle.addOutput(tcp);
    cycle.addOutput(udp);
    state.Sentences = {HeadingSentence::Hdt, HeadingSentence::Ths};
    state.Logging = true;
    placeFixes(state, 57.3, 10);
    port3.failure = "Com port  3 is not open";
    tcp.failure = "TCP client 10.0.0.9:50000 stopped reading and was dropped";
    run();
    EXPECT_EQ(udp.text, "$GPHDT,057.3,T*34\r\n$GPTHS,057.3,A*36\r\n");
    EXPECT_EQ(log.text, udp.text);
    EXPECT_EQ(window.lblError.text,
              "12:34:56 : Com port  3 is not open: heading not sent; TCP client "
              "10.0.0.9:50000 stopped reading and was dropped: heading not sent Error in Main "
              "Loop");

    port3.failure.clear();
    state.HeadingOutput = false;
    placeFixes(state, 123.4, 10, "12:35:20.00");
    run();
    EXPECT_EQ(port3.text, "") << "heading output off";
    EXPECT_EQ(window.lblHDT.text, "$GPHDT,123.4,T*31") << "shown with the output off too";
}

TEST_F(HeadingCycleTest, RateOfTurnOncePerEpochAndNotValidWithinTwoSecondsOfSilence) {
    state.Sentences = {HeadingSentence::Rot};
    // 10 fixes a second from 12:35:19.0, turning 3 degrees a second to port
    // across north; GPS 2 falls silent after 3 s. The first ROT after the
    // silence must come within 2 s of the last pair and say not valid.
    int firstAfter = 0;
    for (int tenth = 0; tenth < 60 && firstAfter == 0; ++tenth) {
        const std::string utc =
            "12:35:" + std::to_string(19 + tenth / 10) + "." + std::to_string(tenth % 10);
        port3.text.clear();
        if (tenth < 30) {
            placeFixes(state, std::fmod(364.5 - 0.3 * tenth, 360), 10, utc.c_str());
            run();
            EXPECT_EQ(port3.text, tenth == 0 ? "$GPROT,,V*08\r\n" : "$GPROT,-180.0,A*15\r\n")
                << tenth;
        } else {
            setTime(state.GpsFix[1], utc.c_str());
            cycle.MainLoop(1);
            firstAfter = port3.text.empty() ? 0 : tenth;
        }
    }
    EXPECT_EQ(port3.text, "$GPROT,,V*08\r\n");
    EXPECT_LE(firstAfter, 29 + 20) << "within 2 s of the last pair";
}

TEST_F(HeadingCycleTest, ReceiversThatNeverPairAreReportedAfterThreeSeconds) {
    state.Sentences = {HeadingSentence::Ths};
    placeFixes(state, 0, 2);
    // GPS 2's fixes always half a second after GPS 1's.
    for (int second = 0; second <= 4; ++second) {
        for (const int receiver : {1, 2}) {
            const std::string utc =
                "12:00:0" + std::to_string(second) + (receiver == 1 ? ".00" : ".50");
            setTime(state.GpsFix[static_cast<std::size_t>(receiver)], utc.c_str());
            cycle.MainLoop(receiver);
        }
        EXPECT_EQ(last.outcome == CycleOutcome::Unpaired, second == 4)
            << "three seconds are not over three";
    }
    EXPECT_EQ(window.lblError.text,
              "12:34:56 : The fixes of GPS 1 and GPS 2 are 0.50 s apart: raise the time "
              "tolerance above 0.50 s");
}

}  // namespace
}  // namespace bivane

// The heading cycle and what it is built on: the pairing of the receivers'
// epochs, the receiver panels, the sentence choice and the rate of turn.

#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>
#include <cmath>
#include <string>
#include <vector>

#include "heading/baseline.h"
#include "heading/compass_state.h"
#include "heading/epoch_pairing.h"
#include "heading/fix_panels.h"
#include "heading/heading_cycle.h"
#include "heading/rate_of_turn.h"
#include "heading/sentence_choice.h"
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

GgaRecord fix(int quality, int satellites, float hdop, int station, float age) {
    GgaRecord record;
    record.Quality = static_cast<std::int16_t>(quality);
    record.Satellites = static_cast<std::int16_t>(satellites);
    record.Hdop = hdop;
    record.StationId = station;
    record.DgpsAge = age;
    return record;
}

TEST(RefreshFixPanels, RunsTheConsistencyChecks) {
    const struct {
        const char* legend;
        GgaRecord gps1;
        GgaRecord gps2;
        // The difference panel's svs, HDOP, quality, station and age texts,
        // then which of them turned light red ('R') and the heading's colour.
        const char* texts;
        const char* red;
    } rows[] = {
        {"one satellite more on GPS 2", fix(1, 8, 0.9f, 0, 0), fix(1, 9, 0.9f, 0, 0),
         "1 0.0 equal n/a n/a", "R----R"},
        {"HDOP differs in the second decimal", fix(1, 8, 0.9f, 0, 0), fix(1, 8, 0.91f, 0, 0),
         "0 0.0 equal n/a n/a", "-R---R"},
        {"same station, ages 6 s apart: age red, heading still black", fix(2, 8, 0.9f, 31, 2),
         fix(2, 8, 0.9f, 31, 8), "0 0.0 equal equal 6.0", "----R-"},
        {"ages just under 5 s apart", fix(2, 8, 0.9f, 31, 2), fix(2, 8, 0.9f, 31, 6.9f),
         "0 0.0 equal equal 4.9", "------"},
        {"quality 1 and 2", fix(1, 8, 0.9f, 31, 2), fix(2, 8, 0.9f, 31, 2),
         "0 0.0 NOT EQUAL n/a n/a", "--R--R"},
        {"quality 2 and 1", fix(2, 8, 0.9f, 31, 2), fix(1, 8, 0.9f, 31, 2),
         "0 0.0 NOT EQUAL n/a n/a", "--R--R"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        MainWindowText window;
        bool cycleOk = true;
        RefreshFixPanels(row.gps1, row.gps2, window, 0, cycleOk, '.');
        const std::string texts = window.lblSvs[0].text + " " + window.lblHdop[0].text + " " +
                                  window.lblQuality[0].text + " " + window.lblStnID[0].text + " " +
                                  window.lblAge[0].text;
        std::string red;
        for (const LabelText* label :
             {&window.lblSvs[0], &window.lblHdop[0], &window.lblQuality[0], &window.lblStnID[0],
              &window.lblAge[0], &window.lblHeading}) {
            red += label->color == kLightRed ? 'R' : '-';
        }
        EXPECT_EQ(texts, row.texts);
        EXPECT_EQ(red, row.red);
        EXPECT_EQ(cycleOk, row.red[5] == '-');
    }
}

TEST(RefreshFixPanels, ADifferenceBeyondItsIntegerFailsAfterTheEarlierLabels) {
    MainWindowText window;
    const MainWindowText initial;
    bool cycleOk = true;
    EXPECT_THROW(RefreshFixPanels(fix(1, static_cast<int>(MissingValue), 0.9f, 0, 0),
                                  fix(1, 32767, 0.9f, 0, 0), window, 0, cycleOk, '.'),
                 std::exception);
    EXPECT_EQ(window.lblSvs[2].text, "32767") << "the receiver panels came first";
    EXPECT_EQ(window.lblSvs[0], initial.lblSvs[0]) << "the failing label keeps its state";
    EXPECT_EQ(window.lblHeading, initial.lblHeading) << "and so does the heading colour";
    EXPECT_THROW(RefreshFixPanels(fix(2, 8, 0.9f, 2147483647, 0),
                                  fix(2, 8, 0.9f, 2147483647 - 40000, 0), window, 0, cycleOk, '.'),
                 std::exception)
        << "a station difference beyond 16 bits";
}

constexpr std::int64_t kDay = 86'400'000;

// One fix arriving, and the pair it should complete: the instant (-1: none)
// and whose fix is carried forward (0: none).
struct Arrival {
    int receiver;
    std::int64_t ms;
    std::int64_t pairedAt = -1;
    int carried = 0;
    int quality = 4;
};

struct Scenario {
    const char* legend;
    std::int64_t toleranceMs;
    std::vector<Arrival> arrivals;
};

GgaRecord fixAt(std::int64_t ms, int quality) {
    GgaRecord fix;
    fix.TimeOfDayMs = ms;
    fix.Quality = static_cast<std::int16_t>(quality);
    // A vessel sailing north, 1e-7 rad per 100 ms, the same at both antennas.
    fix.Latitude = 1e-9 * static_cast<double>(ms);
    return fix;
}

TEST(EpochPairing, PairsEachInstantOnceFromTheReceiversTimeStamps) {
    const Scenario scenarios[] = {
        {"at 20 Hz with a wide tolerance a new fix never takes the old partner",
         1000,
         {{1, 0}, {2, 0, 0}, {1, 50}, {2, 50, 50}, {2, 100}, {1, 100, 100}}},
        {"a lost fix loses only its epoch; a fix due at the instant is awaited, not carried",
         200,
         {{1, 0}, {2, 0, 0}, {1, 100}, {1, 200}, {2, 200, 200}, {2, 300}, {1, 300, 300}}},
        {"a repeated sentence gives no second heading", 200, {{1, 0}, {2, 0, 0}, {2, 0}, {1, 0}}},
        {"tolerance 0 never pairs", 0, {{1, 0}, {2, 0}, {1, 1000}, {2, 1000}}},
        {"GPS 2 at 5 Hz beside GPS 1 at 10 Hz",
         200,
         {{1, 0}, {2, 0, 0}, {1, 100}, {1, 200}, {2, 200, 200}, {1, 300}, {1, 400}, {2, 400, 400}}},
        {"GPS 2 measures 50 ms after GPS 1: GPS 1 is carried forward once it has a track",
         200,
         {{1, 0}, {2, 50}, {1, 100}, {2, 150, 150, 1}, {1, 200}, {2, 250, 250, 1}}},
        {"the later receiver's sentence comes first: the older fix is carried when it arrives",
         200,
         {{1, 0}, {2, 50}, {2, 150}, {1, 100, 150, 1}, {2, 250}, {1, 200, 250, 1}}},
        {"no track across a gap of more than 2 s",
         200,
         {{1, 0}, {1, 3000}, {2, 3050}, {1, 4000}, {2, 4050, 4050, 1}}},
        {"without a fix no track is needed: the pair shows the missing fix",
         200,
         {{1, 0, -1, 0, 0}, {1, 100, -1, 0, 0}, {2, 150, 150, 1}}},
        {"a track from a fix without one is no track", 200, {{1, 0, -1, 0, 0}, {1, 100}, {2, 150}}},
        {"epochs 0.5 s apart pair above a tolerance of 0.5 s",
         600,
         {{1, 0}, {2, 500}, {1, 1000}, {2, 1500, 1500, 1}}},
        {"exactly the tolerance apart is too far", 50, {{1, 0}, {1, 100}, {2, 150}}},
        {"a carried fix takes part in one pair only",
         200,
         {{1, 0}, {1, 100}, {2, 150, 150, 1}, {2, 160}}},
        {"across midnight", 200, {{1, kDay - 100}, {2, kDay - 100, kDay - 100}, {1, 0}, {2, 0, 0}}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.legend);
        EpochPairing pairing;
        for (const Arrival& arrival : scenario.arrivals) {
            SCOPED_TRACE("GPS " + std::to_string(arrival.receiver) + " at " +
                         std::to_string(arrival.ms) + " ms");
            const auto pair = pairing.add(arrival.receiver, fixAt(arrival.ms, arrival.quality),
                                          scenario.toleranceMs);
            ASSERT_EQ(pair.has_value(), arrival.pairedAt >= 0);
            if (pair) {
                EXPECT_EQ(pair->instantMs, arrival.pairedAt);
                EXPECT_EQ(pair->carried, arrival.carried);
                EXPECT_EQ(pair->fix[static_cast<std::size_t>(arrival.receiver - 1)]->TimeOfDayMs,
                          arrival.ms);
            }
        }
    }
}

TEST(EpochPairing, CarriesTheOlderFixAlongItsOwnTrack) {
    // GPS 1 moves 2e-7 rad north and 4e-7 rad east or west per 100 ms, across
    // the antimeridian; its fix of 100 ms is carried to GPS 2's instant at
    // 175 ms.
    const struct {
        const char* legend;
        double before, newest, carried;  // GPS 1's longitudes, radians
    } rows[] = {
        {"eastward", kPi - 3e-7, -kPi + 1e-7, -kPi + 4e-7},
        {"westward", -kPi + 3e-7, kPi - 1e-7, kPi - 4e-7},
    };
    for (const auto& row : rows) {
        EpochPairing pairing;
        GgaRecord gps1 = fixAt(0, 4);
        gps1.Latitude = 0.5;
        gps1.Longitude = row.before;
        pairing.add(1, gps1, 200);
        gps1.TimeOfDayMs = 100;
        gps1.Latitude += 2e-7;
        gps1.Longitude = row.newest;
        pairing.add(1, gps1, 200);
        const auto pair = pairing.add(2, fixAt(175, 4), 200);
        ASSERT_TRUE(pair) << row.legend;
        EXPECT_EQ(pair->carriedMs, 75);
        EXPECT_NEAR(pair->latitude[0], 0.5 + 3.5e-7, 1e-15);
        EXPECT_NEAR(pair->longitude[0], row.carried, 1e-12) << row.legend;
        EXPECT_DOUBLE_EQ(pair->latitude[1], 1.75e-7) << "the newer fix stays as received";
        EXPECT_EQ(pair->fix[0]->Latitude, 0.5 + 2e-7) << "the fix itself stays as received";
    }
}

TEST(SentenceChoice, ReadsTheNamesInOrderEachOnce) {
    using enum HeadingSentence;
    const struct {
        const char* text;
        std::optional<SentenceChoice> choice;
    } rows[] = {
        {"HDT", SentenceChoice{Hdt}},
        {"THS,HDT", SentenceChoice{Ths, Hdt}},
        {" hdt , Ths ", SentenceChoice{Hdt, Ths}},
        {"rot,HDT,THS", SentenceChoice{Rot, Hdt, Ths}},
        {"", std::nullopt},
        {"HDT,", std::nullopt},
        {"HDT,HDT", std::nullopt},
        {"HDT,XYZ", std::nullopt},
        {"HDTS", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ParseSentenceChoice(row.text), row.choice) << '"' << row.text << '"';
    }
    EXPECT_EQ(SentenceChoiceText({Rot, Ths, Hdt}), "ROT,THS,HDT");
}

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

#include "heading/epoch_pairing.h"

#include <gtest/gtest.h>

#include <vector>

#include "nmea/angle_constants.h"

namespace bivane {
namespace {

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

}  // namespace
}  // namespace bivane

// What the simulator sends: the vessel's truth against GeographicLib, the
// faults on the lines, and the receivers' faults as the simulation sends them
// on real pseudo-terminals, against what the ledger counts.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>
#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <functional>
#include <map>
#include <numeric>
#include <set>

#include "nmea/angle_constants.h"
#include "nmea/gga.h"
#include "nmea/hdt.h"
#include "nmea/message_sink.h"
#include "tools/sim/fault_injector.h"
#include "tools/sim/gga_composer.h"
#include "tools/sim/options.h"
#include "tools/sim/pty_device.h"
#include "tools/sim/simulation.h"
#include "tools/sim/vessel_model.h"

namespace bivane::sim {
namespace {

// 2026-12-06 12:35:19.00 UTC.
constexpr UtcCentiseconds kNoon = (20'793LL * 86'400 + 12 * 3600 + 35 * 60 + 19) * 100;

// A GGA line as the program decodes it: position in degrees, and the
// decoder's messages about fields it could not store.
struct DecodedFix : MessageSink {
    explicit DecodedFix(std::string_view line) { ExtractGGA(line, record, *this); }
    void showMessage(std::string_view, std::string_view text) override {
        failures.emplace_back(text);
    }
    double latitude() const { return record.Latitude * kRadToDeg; }
    double longitude() const { return record.Longitude * kRadToDeg; }
    GgaRecord record;
    std::vector<std::string> failures;
};

struct Line {
    double distance = 0, azimuth = 0, back = 0;
};

Line inverse(GeoPoint from, GeoPoint to) {
    Line line;
    GeographicLib::Geodesic::WGS84().Inverse(from.latitude, from.longitude, to.latitude,
                                             to.longitude, line.distance, line.azimuth, line.back);
    return line;
}

TEST(VesselModel, SailsTurnsAndPlacesItsAntennasAsGeographicLibSays) {
    // After `seconds` in steps of a second: the reference point from the
    // start (a constant heading is a rhumb line, a hair off the geodesic; a
    // turn of 3 degrees a second a circle of about 98 m radius, each step its
    // chord), the heading, and the antennas.
    struct Row {
        const char* legend;
        GeoPoint start;
        double heading, turnRate, speed;  // degrees, degrees a second, m/s
        int seconds;
        AntennaOffsets offsets;
        double distance, azimuth, endHeading;
    };
    // The first row crosses the antimeridian with GPS 2 to port; the last
    // sails half a turn to port on a long baseline.
    const Row rows[] = {
        {"antimeridian", {-20, 179.9999}, 80, 0, 5, 5, {{0, 0}, {-3, 0}}, 25, 80, 80},
        {"full turn", {53.5, 8}, 10, 3, 5.144, 120, {{0, -2}, {1, 2}}, 0, 0, 10},
        {"half turn", {-33.9, 18.4}, 10, -3, 5.144, 60, {{0.3, -20}, {-0.4, 25}}, 196.51, 280, 190},
    };
    for (const Row& row : rows) {
        VesselModel vessel(row.start, row.heading, row.turnRate, row.speed, row.offsets);
        for (int i = 0; i < row.seconds; ++i) {
            vessel.advance(1);
        }
        const EpochTruth truth = vessel.truth();
        const Line sailed = inverse(row.start, truth.reference);
        EXPECT_NEAR(sailed.distance, row.distance, row.turnRate != 0 ? 0.01 : 1e-6) << row.legend;
        if (row.distance > 0) {
            EXPECT_NEAR(AngleDifference(sailed.azimuth, row.azimuth), 0, 0.01) << row.legend;
        }
        EXPECT_NEAR(AngleDifference(truth.heading, row.endHeading), 0, 1e-9) << row.legend;
        EXPECT_TRUE(truth.heading >= 0 && truth.heading < 360) << row.legend;
        const AntennaOffsets& o = row.offsets;
        EXPECT_NEAR(inverse(truth.reference, truth.antenna[0]).distance, std::hypot(o.x[0], o.y[0]),
                    1e-6)
            << row.legend;
        const Line baseline = inverse(truth.antenna[0], truth.antenna[1]);
        EXPECT_NEAR(baseline.distance, std::hypot(o.x[1] - o.x[0], o.y[1] - o.y[0]), 1e-6)
            << row.legend;
        // Meridians converge across the offsets: ten-thousandths of a degree.
        EXPECT_NEAR(AngleDifference(baseline.azimuth - BaselineBearing(o), row.endHeading), 0, 5e-4)
            << row.legend;
    }
}

TEST(FaultInjector, HitsAboutTheRequestedShareBreaksAsItShouldAndRepeatsWithTheSeed) {
    struct Row {
        const char* legend;
        FaultRates rates;
        bool isGga;
        Fault kind;
        double share;
    };
    const Row rows[] = {
        {"drops", {0.25, 0, 0}, true, Fault::Dropped, 0.25},
        {"garbage", {0, 0.1, 0}, true, Fault::Garbled, 0.1},
        {"bad fields", {0, 0, 0.4}, true, Fault::BadField, 0.4},
        {"bad fields hit only GGA lines", {0, 0, 1}, false, Fault::None, 1.0},
    };
    constexpr int kSentences = 10'000;
    const std::string gga = ComposeGga({kNoon, {53.5, 8.25}}, ReceiverStatus{}, 7);
    const std::size_t star = gga.find('*');
    const DecodedFix truth(gga);
    ASSERT_TRUE(truth.failures.empty());
    std::set<std::string> failedFields;
    for (const Row& row : rows) {
        FaultInjector faults(row.rates, 99);
        FaultInjector again(row.rates, 99);
        int hits = 0;
        for (int i = 0; i < kSentences; ++i) {
            std::string line = gga;
            std::string same = line;
            const Fault fault = faults.apply(line, row.isGga);
            EXPECT_EQ(again.apply(same, row.isGga), fault) << row.legend;
            EXPECT_EQ(same, line) << row.legend;
            hits += fault == row.kind ? 1 : 0;
            ASSERT_TRUE(fault == row.kind || fault == Fault::None) << row.legend;
            EXPECT_EQ(line == gga, fault == Fault::None || fault == Fault::Dropped) << row.legend;
            EXPECT_EQ(NmeaChecksumMatches(line), fault != Fault::Garbled) << line;
            if (fault == Fault::Garbled) {
                // 1 to 3 characters, the frame and the checksum kept: one line.
                ASSERT_EQ(line.size(), gga.size());
                EXPECT_EQ(line.substr(star), gga.substr(star));
                EXPECT_EQ(line[0], '$');
                EXPECT_EQ(line.find_first_of("$*\r\n", 1), star) << line;
                EXPECT_LE(std::inner_product(line.begin(), line.end(), gga.begin(), 0,
                                             std::plus<>(), std::not_equal_to<>()),
                          3)
                    << line;
            } else if (fault == Fault::BadField) {
                // One field the decoder cannot store; the fix still makes a heading.
                const DecodedFix fix(line);
                ASSERT_EQ(fix.failures.size(), 1u) << line;
                failedFields.insert(fix.failures[0].substr(0, fix.failures[0].find(" value")));
                EXPECT_EQ(fix.latitude(), truth.latitude());
                EXPECT_EQ(fix.longitude(), truth.longitude());
                EXPECT_EQ(fix.record.UtcTime, truth.record.UtcTime);
                EXPECT_EQ(fix.record.Quality, truth.record.Quality);
            }
        }
        // Five standard deviations of a binomial count.
        const double sigma = std::sqrt(kSentences * row.share * (1 - row.share));
        EXPECT_NEAR(hits, row.share * kSentences, 5 * sigma + 0.5) << row.legend;
    }
    EXPECT_EQ(failedFields.size(), 5u) << "satellites, HDOP, altitude, DGPS age, station";
}

// Every line the device holds once nothing more has come for 100 ms.
std::vector<std::string> linesOf(const PtyDevice& device) {
    const int fd = open(device.slaveName().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    std::string text;
    char buffer[4096];
    pollfd readable{fd, POLLIN, 0};
    ssize_t n = 0;
    while (poll(&readable, 1, 100) > 0 && (n = read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end = 0; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(text.substr(start, end + 1 - start));
    }
    return lines;
}

TEST(Simulation, EachFaultHitsTheEpochsItShouldAndTheLedgerCountsThem) {
    // 20 Hz for 1 s, the vessel still at heading 30, GPS 2 2 m ahead of
    // GPS 1. Each GGA is judged here from what arrives: intact (its checksum
    // right), clean (intact, quality 4, every field stored); each pair of
    // stamps alike stands 2 m apart along the heading, 2.3 m when floating.
    struct Row {
        std::vector<std::string> arguments;
        int epochs, floating;
    };
    const Row rows[] = {
        {{"--drop-rate", "0.15", "--garbage-rate", "0.15"}, 20, 0},
        {{"--bad-field", "0.5"}, 20, 0},
        {{"--silent", "2", "--silent-after", "0.3", "--silent-until", "0.6"}, 14, 0},
        {{"--silent", "1", "--silent-after", "0.3", "--silent-until", "0.6"}, 14, 0},
        {{"--float-receiver", "2", "--float-after", "0.25", "--float-until", "0.75"}, 20, 10},
    };
    for (const Row& row : rows) {
        PtyDevice gps[2];
        EpochLedger ledger;
        std::vector<std::string> arguments{"--rate",    "20", "--duration", "1",
                                           "--heading", "30", "--seed",     "3"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const ParsedOptions parsed = ParseOptions(arguments);
        ASSERT_TRUE(parsed.options) << parsed.error;
        const std::string legend = row.arguments[0] + " " + row.arguments[1];
        Simulation simulation(*parsed.options, {gps[0].master(), gps[1].master()}, {&ledger});
        // Started 0.8 s ago: most instants are due at once.
        simulation.run(SteadyClock::now() - std::chrono::milliseconds(800), kNoon);
        std::map<std::string, std::string> ggas[2];  // intact ones by time field
        int broken = 0;
        int received = 0;
        int badFields = 0;
        for (int receiver = 0; receiver < 2; ++receiver) {
            for (const std::string& line : linesOf(gps[receiver])) {
                ++received;
                if (!NmeaChecksumMatches(line)) {
                    ++broken;
                } else if (line.find("GGA,") == 3) {
                    ggas[receiver][line.substr(7, 9)] = line;
                    badFields += DecodedFix(line).failures.empty() ? 0 : 1;
                }
            }
        }
        int both = 0;
        int clean = 0;
        int floating = 0;
        for (const auto& [time, line] : ggas[0]) {
            const auto other = ggas[1].find(time);
            if (other == ggas[1].end()) {
                continue;
            }
            ++both;
            const DecodedFix one(line);
            const DecodedFix two(other->second);
            const bool floats = two.record.Quality == 5;
            floating += floats ? 1 : 0;
            clean += one.failures.empty() && two.failures.empty() && !floats ? 1 : 0;
            const Line baseline =
                inverse({one.latitude(), one.longitude()}, {two.latitude(), two.longitude()});
            EXPECT_NEAR(baseline.distance, floats ? 2.3 : 2.0, 0.005) << legend << " " << time;
            EXPECT_NEAR(baseline.azimuth, 30, 0.02) << legend << " " << time;
        }
        const SentenceCounts counts = simulation.counts();
        EXPECT_EQ(counts.garbled, broken) << legend;
        EXPECT_EQ(counts.dropped, 20 + row.epochs - received) << legend;
        EXPECT_EQ(counts.badField, badFields) << legend;
        EXPECT_EQ(floating, row.floating) << legend;
        EXPECT_EQ(ledger.totals(), (EpochTotals{.epochs = row.epochs,
                                                .faulted = row.epochs - clean,
                                                .lost = row.epochs - both,
                                                .missingClean = clean}))
            << legend;
    }
}

}  // namespace
}  // namespace bivane::sim

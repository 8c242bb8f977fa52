// The simulator: what it sends (the vessel's truth against GeographicLib, the
// faults on the lines, and the receivers' faults as the simulation sends them on
// real pseudo-terminals, against what the ledger counts), and its scoring (which
// sentence is scored against which epoch, and which lines count as sentences).

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <GeographicLib/Geodesic.hpp>
#include <cmath>
#include <functional>
#include <map>
#include <numeric>
#include <set>
#include <thread>
#include <tuple>

#include "nmea/angle_constants.h"
#include "nmea/gga.h"
#include "nmea/hdt.h"
#include "nmea/message_sink.h"
#include "tools/sim/epoch_ledger.h"
#include "tools/sim/fault_injector.h"
#include "tools/sim/gga_composer.h"
#include "tools/sim/hdt_listener.h"
#include "tools/sim/options.h"
#include "tools/sim/pairing_model.h"
#include "tools/sim/pty_device.h"
#include "tools/sim/simulation.h"
#include "tools/sim/vessel_model.h"

namespace bivane::sim {

void PrintTo(const EpochTotals& t, std::ostream* out) {
    *out << "epochs " << t.epochs << ", faulted " << t.faulted << ", lost " << t.lost << ", paired "
         << t.paired << ", missing clean " << t.missingClean << ", per epoch max " << t.perEpochMax;
}

namespace {

using std::chrono::milliseconds;
using testing::DoubleNear;
using testing::ElementsAre;
using testing::Pointwise;
using testing::WhenSorted;
using Outcome = Scoring::Outcome;
constexpr auto kHdt = SentenceKind::Hdt;
constexpr auto kThs = SentenceKind::Ths;
constexpr auto kRot = SentenceKind::Rot;

// Epoch k's true heading is 10 k degrees, its rate of turn -k degrees per
// minute; its GGAs are (k, 0) and (k, 1), and the program answers it once
// (k, `completing`) is in.
void addEpoch(EpochLedger& ledger, std::int64_t k, bool faulted = false, bool lost = false,
              int completing = 1) {
    const TrueMotion truth{10.0 * static_cast<double>(k), -static_cast<double>(k)};
    ledger.addEpoch(k, truth, GgaKey{k, 0}, GgaKey{k, 1}, faulted, lost);
    if (!lost) {
        ledger.expectAnswer(k, truth, GgaKey{k, completing}, GgaKey{k, 1 - completing});
    }
}

struct Arrival {
    const char* legend;
    int arrivalMs;
    SentenceKind kind;
    bool valid;
    Outcome outcome;
    std::int64_t epoch = -1;
    double latencyMs = 0;
};

TEST(EpochLedger, EverySentenceGoesToTheEpochCompletedLastAndOneOfAKindIsAllItTakes) {
    const SteadyTime t0 = SteadyClock::now();
    EpochLedger ledger({.hdt = true, .ths = true, .rot = true});
    for (std::int64_t k = 0; k < 5; ++k) {
        addEpoch(ledger, k, false, k == 3);
    }
    addEpoch(ledger, 5, false, false, 0);  // completed by GPS 1's GGA
    addEpoch(ledger, 6, true);             // a bad field or a float solution: still answered
    // A GGA lost on the line, yet the program pairs the instant otherwise
    // (GPS 1's previous fix carried forward): not lost.
    ledger.addEpoch(7, {70, -7}, GgaKey{7, 0}, GgaKey{7, 1}, true, true);
    ledger.expectAnswer(7, {70, -7}, GgaKey{7, 1}, GgaKey{6, 0});
    // An instant the program answers that the clean stream would not have.
    ledger.expectAnswer(8, {80, -8}, GgaKey{8, 0}, GgaKey{7, 1});
    ledger.markGgaLost(GgaKey{1, 0});  // given up: epoch 1 is lost and completes nothing
    for (std::int64_t k = 0; k < 9; ++k) {
        ledger.lastByteWriting(GgaKey{k, 0}, t0 + milliseconds(100 * k));
        ledger.lastByteWriting(GgaKey{k, 1}, t0 + milliseconds(100 * k + 2));
    }
    const Arrival arrivals[] = {
        {"before any epoch is complete", 1, kHdt, true, Outcome::NoEpoch},
        {"a THS without heading then", 1, kThs, false, Outcome::NotScored},
        {"HDT of epoch 0", 4, kHdt, true, Outcome::Paired, 0, 2},
        {"THS of epoch 0, in the same read", 4, kThs, true, Outcome::Paired, 0, 2},
        {"ROT of epoch 0", 4, kRot, true, Outcome::Paired, 0, 2},
        {"a second HDT for epoch 0", 6, kHdt, true, Outcome::Mispaired, 0, 4},
        {"an answer between GPS 1 and GPS 2 of epoch 1 is epoch 0's third", 101, kHdt, true,
         Outcome::Mispaired, 0, 99},
        {"late: the epoch completed last, 1 is passed over", 250, kHdt, true, Outcome::Paired, 2,
         48},
        {"THS of epoch 2", 250, kThs, true, Outcome::Paired, 2, 48},
        {"a THS without heading where epoch 2 had its THS: no pair behind it", 260, kThs, false,
         Outcome::NotScored},
        {"lost epoch 3 completes nothing: epoch 2 again", 303, kHdt, true, Outcome::Mispaired, 2,
         101},
        {"HDT of epoch 4", 410, kHdt, true, Outcome::Paired, 4, 8},
        {"its THS says no heading (a failed check): it is epoch 4's", 410, kThs, false,
         Outcome::Paired, 4, 8},
        {"its ROT has no rate yet: it is epoch 4's", 410, kRot, false, Outcome::Paired, 4, 8},
        {"a second ROT for epoch 4", 412, kRot, true, Outcome::Mispaired, 4, 10},
        {"epoch 5 answers as its GPS 1 GGA is in", 501, kThs, true, Outcome::Paired, 5, 1},
        {"epoch 5's ROT", 501, kRot, true, Outcome::Paired, 5, 1},
        {"epoch 6 gets its HDT", 605, kHdt, true, Outcome::Paired, 6, 3},
        {"and its ROT, no THS", 605, kRot, true, Outcome::Paired, 6, 3},
        {"epoch 7, paired with the fix carried forward", 705, kHdt, true, Outcome::Paired, 7, 3},
        {"instant 8: scored, not counted", 801, kHdt, true, Outcome::Paired, 8, 1},
    };
    for (const Arrival& row : arrivals) {
        const Scoring scoring = ledger.score(row.kind, row.valid, t0 + milliseconds(row.arrivalMs));
        EXPECT_EQ(scoring.outcome, row.outcome) << row.legend;
        if (row.epoch >= 0) {
            EXPECT_EQ(scoring.instant, row.epoch) << row.legend;
            EXPECT_DOUBLE_EQ(scoring.truth.heading, 10.0 * static_cast<double>(row.epoch))
                << row.legend;
            EXPECT_NEAR(scoring.latencyMs, row.latencyMs, 1e-6) << row.legend;
        }
    }
    // Epochs 0 to 7 count; 1, 3, 6 and 7 were hit by a fault, 1 and 3 lost;
    // 0, 2, 4, 6 and 7 got their HDT; of the clean ones 2 lacks its ROT and
    // 5 its HDT; epoch 0 had three HDTs.
    // Epochs, faulted, lost, paired, missing clean, most of a kind for one.
    EXPECT_EQ(ledger.totals(), (EpochTotals{8, 4, 2, 5, 2, 3}));
}

TEST(PairingModel, WhichGgaCompletesWhichPair) {
    // Each row a GGA arriving (receiver, instant, stamp): the pair it
    // completes (instant, partner's instant), -1 for none.
    struct Step {
        const char* legend;
        int receiver;
        std::int64_t instant, stampMs, pairInstant, partnerInstant;
    };
    struct Run {
        std::int64_t toleranceMs;
        bool hasFix;
        std::vector<Step> steps;
    };
    const Run runs[] = {
        {200,
         true,
         {{"GPS 1 alone", 0, 0, 1000, -1, -1},
          {"GPS 2 of the same stamp", 1, 0, 1000, 0, 0},
          {"GPS 2 first the next time", 1, 1, 1100, -1, -1},
          {"GPS 1 completes it", 0, 1, 1100, 1, 1},
          {"a repeat of GPS 2's last stamp", 1, 2, 1100, -1, -1},
          {"GPS 1 whose partner is lost: waits", 0, 3, 1200, -1, -1},
          {"next GPS 1: GPS 2's newest has had its heading", 0, 4, 1300, -1, -1},
          {"GPS 2 of 1.3 s finds its own partner", 1, 4, 1300, 4, 4},
          {"just before midnight", 0, 5, 86'399'950, -1, -1},
          {"... stamped alike", 1, 5, 86'399'950, 5, 5}}},
        // GPS 2 50 ms after GPS 1 at 10 Hz: once GPS 1 has a track, each GPS 2
        // fix pairs with GPS 1's carried forward; the instant is GPS 2's.
        {200,
         true,
         {{"first GPS 1", 0, 0, 0, -1, -1},
          {"GPS 2: GPS 1 has no interval yet", 1, 1, 50, -1, -1},
          {"GPS 1 again: GPS 2 has none either", 0, 2, 100, -1, -1},
          {"GPS 2: GPS 1's grid skips 150", 1, 3, 150, 3, 2},
          {"GPS 1: GPS 2's newest is taken", 0, 4, 200, -1, -1},
          {"GPS 2 1 ms short of GPS 1's grid: on it, within rounding", 1, 5, 299, -1, -1}}},
        {100,
         true,
         {{"GPS 1", 0, 0, 0, -1, -1},
          {"GPS 1", 0, 1, 1000, -1, -1},
          {"GPS 2 0.1 s after: not below the tolerance", 1, 2, 1100, -1, -1},
          {"GPS 1 with a 2.5 s gap: no track", 0, 3, 3500, -1, -1},
          {"GPS 2 at 3.55", 1, 4, 3550, -1, -1}}},
        {200,
         false,
         {{"GPS 1", 0, 0, 0, -1, -1},
          {"GPS 1", 0, 1, 1000, -1, -1},
          {"GPS 2 0.1 s after: a pair, the cycle says no fix", 1, 2, 1100, 2, 1}}},
    };
    for (const Run& run : runs) {
        PairingModel model(run.toleranceMs);
        for (const Step& step : run.steps) {
            const auto pair =
                model.add(GgaKey{step.instant, step.receiver}, step.stampMs, run.hasFix);
            EXPECT_EQ(pair ? pair->instant : -1, step.pairInstant) << step.legend;
            EXPECT_EQ(pair ? pair->partner.instant : -1, step.partnerInstant) << step.legend;
        }
    }
}

TEST(HeadingListener, TakesOnlyWellFormedLinesAndScoresThemAgainstTheTruth) {
    // One complete epoch: heading 359.9, turning to port at 180 degrees a
    // minute. Each datagram holds whole lines.
    EpochLedger ledger({.hdt = true, .ths = true, .rot = true});
    ledger.addEpoch(0, {359.9, -180}, GgaKey{0, 0}, GgaKey{0, 1}, false, false);
    ledger.expectAnswer(0, {359.9, -180}, GgaKey{0, 1}, GgaKey{0, 0});
    ledger.lastByteWriting(GgaKey{0, 1}, SteadyClock::now());
    HdtListener listener(UdpPort{0}, ledger);
    listener.start();
    const int sender = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(listener.udpPort()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string datagrams[] = {
        "$GPHDT,000.1,T*34\r\n",          // the epoch's HDT: 0.2 off, the short way
        "$HEHDT,359.9,T*29\r\n",          // a second one: mispaired
        "$GPTHS,359.8,A*30\r\n",          // the epoch's THS
        "$GPTHS,,V*0E\r\n",               // no heading where the epoch had one: not scored
        "$GPROT,,V*08\r\n",               // the epoch's ROT, no rate
        "$TIROT,-180.5,A*1A\r\n",         // a second ROT: mispaired
        "$GPHDT,360.1,T*31\r\n",          // beyond a turn
        "$GPHDT,12a.4,T*63\r\n",          // not a number
        "$GPHDT,123.4,M*28\r\n",          // not true
        "$GPHDT,123.4,T*30\r\n",          // checksum wrong
        "x$GPHDT,123.4,T*31\r\n",         // noise in front
        "$GPTHS,360.0,A*32\r\n",          // a full turn is 000.0
        "$GPTHS,123.4,V*24\r\n",          // V carries no heading
        "$GPROT,12.0,V*15\r\n",           // V carries no rate
        "$GPHDT,000.1,T*34\r\nnoise\r\n"  // whole lines, both counted
        "$GPHDT,000.1,T*34",              // cut by the datagram's end
    };
    for (const std::string& datagram : datagrams) {
        ASSERT_EQ(sendto(sender, datagram.data(), datagram.size(), 0,
                         reinterpret_cast<const sockaddr*>(&address), sizeof address),
                  static_cast<ssize_t>(datagram.size()));
    }
    close(sender);
    std::this_thread::sleep_for(milliseconds(100));
    listener.stop();
    const ListenerResults& heard = listener.results();
    // Received, invalid, THS valid and not, ROT valid and not, mispaired, unpaired.
    EXPECT_EQ(std::tuple(heard.received, heard.invalid, heard.thsValid, heard.thsInvalid,
                         heard.rotValid, heard.rotInvalid, heard.mispaired, heard.unpaired),
              std::tuple(17, 10, 1, 1, 1, 1, 3, 2));
    EXPECT_THAT(heard.headingErrors,
                WhenSorted(Pointwise(DoubleNear(1e-9), std::vector<double>{0, 0.1, 0.2, 0.2})));
    EXPECT_THAT(heard.rateErrors, ElementsAre(DoubleNear(0.5, 1e-9)));
    EXPECT_EQ(heard.latenciesMs.size(), 5u);
}

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

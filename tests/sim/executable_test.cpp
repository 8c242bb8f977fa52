// The simulator executable on real pseudo-terminals: the test reads both
// receivers' devices and, where it plays the heading program, answers on the
// heading device with HDT sentences computed from the decoded fixes.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "nmea/hdt.h"
#include "tests/sim/decoded_fix.h"
#include "tests/sim/sim_process.h"

namespace bivane::sim::test {
namespace {

constexpr double kDegreesPerRadian = 180 / 3.14159265358979323846;

bool intact(const std::string& line) {
    const std::size_t star = line.find('*');
    return star != std::string::npos && line.ends_with("\r\n") &&
           line.substr(star + 1, 2) == NmeaChecksum(line) && line.size() == star + 5;
}

bool isGga(const std::string& line) {
    return line.size() > 6 && line.substr(3, 3) == "GGA";
}

std::string field(const std::string& line, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = line.find(',', start) + 1;
    }
    return line.substr(start, line.find_first_of(",*", start) - start);
}

// "hhmmss.ss" as hundredths of the day.
long centiseconds(const std::string& time) {
    return std::stol(time.substr(0, 2)) * 360000 + std::stol(time.substr(2, 2)) * 6000 +
           std::lround(std::stod(time.substr(4)) * 100);
}

struct Offsets {
    double x1, y1, x2, y2;
    std::string argument() const {
        return std::to_string(x1) + "," + std::to_string(y1) + "," + std::to_string(x2) + "," +
               std::to_string(y2);
    }
};

// Plays the heading program: every two intact GGAs with the same time field
// get the HDT of the heading that their positions give; or, `likeTheProgram`,
// every intact GGA that comes within 0.2 s of the other receiver's latest.
class Responder {
  public:
    Responder(std::string device, Offsets offsets, bool likeTheProgram = false)
        : m_device(std::move(device)), m_offsets(offsets), m_likeTheProgram(likeTheProgram) {}

    // Returns the answer, empty when there is none.
    std::string onLine(const Arrival& arrival) {
        if (!isGga(arrival.line) || !intact(arrival.line)) {
            return {};
        }
        m_latest[arrival.device] = arrival.line;
        if (m_latest[0].empty() || m_latest[1].empty()) {
            return {};
        }
        const std::string time = field(m_latest[0], 1);
        if (m_likeTheProgram) {
            const long apart = std::labs(centiseconds(time) - centiseconds(field(m_latest[1], 1)));
            if (std::min(apart, 8640000 - apart) >= 20) {
                return {};
            }
        } else if (field(m_latest[1], 1) != time || time == m_answered) {
            return {};
        }
        const DecodedFix one = DecodeGga(m_latest[0]);
        const DecodedFix two = DecodeGga(m_latest[1]);
        double distance = 0, azimuth1 = 0, azimuth2 = 0;
        GeographicLib::Geodesic::WGS84().Inverse(one.latitude, one.longitude, two.latitude,
                                                 two.longitude, distance, azimuth1, azimuth2);
        double heading =
            azimuth1 - std::atan2(m_offsets.x2 - m_offsets.x1, m_offsets.y2 - m_offsets.y1) *
                           kDegreesPerRadian;
        heading = std::fmod(heading + 720, 360);
        const std::string answer = BuildHdtSentence("GP", static_cast<float>(heading), 1) + "\r\n";
        WriteTo(m_device, answer);
        m_answered = time;
        return answer;
    }

  private:
    std::string m_device;
    Offsets m_offsets;
    bool m_likeTheProgram;
    std::string m_latest[2];
    std::string m_answered;
};

struct SimRun {
    int status = -1;
    std::vector<Arrival> lines[2];
    std::string report;
};

// Told of each line from the receivers, with the answer to it (empty when
// there is none).
using OnArrival = std::function<void(SimProcess&, const Arrival&, const std::string& answer)>;

// Starts the simulator, reads both receivers until it ends, optionally
// answering as the heading program.
SimRun simulate(std::vector<std::string> arguments, std::optional<Offsets> answerWith,
                const OnArrival& extra = {}, bool likeTheProgram = false) {
    const TemporaryFolder folder;
    const std::string reportPath = folder.path() + "/report.json";
    arguments.insert(arguments.end(), {"--report", reportPath});
    SimProcess sim(arguments);
    std::optional<Responder> responder;
    if (answerWith) {
        responder.emplace(sim.heading(), *answerWith, likeTheProgram);
    }
    SimRun run;
    run.status = Pump(sim, {sim.gps1(), sim.gps2()}, [&](const Arrival& arrival) {
        run.lines[arrival.device].push_back(arrival);
        const std::string answer = responder ? responder->onLine(arrival) : std::string();
        if (extra) {
            extra(sim, arrival, answer);
        }
    });
    run.report = ReadFile(reportPath);
    return run;
}

std::vector<Arrival> ggaLines(const std::vector<Arrival>& lines) {
    std::vector<Arrival> result;
    for (const Arrival& arrival : lines) {
        if (isGga(arrival.line)) {
            result.push_back(arrival);
        }
    }
    return result;
}

TEST(SimExecutable, StreamsBothReceiversAtTheRateAndScoresTheAnswers) {
    const Offsets offsets{0.5, -1, -0.3, 3};
    int answers = 0;
    const SimRun run =
        simulate({"--rate", "5", "--duration", "2", "--heading", "123.37", "--lat", "-41.3",
                  "--lon", "174.8", "--offsets", offsets.argument()},
                 offsets, [&](SimProcess& sim, const Arrival&, const std::string& answer) {
                     if (answer.empty()) {
                         return;
                     }
                     ++answers;
                     if (answers == 1) {
                         WriteTo(sim.heading(), "$GPHDT,123.0,T*00\r\n");
                     } else if (answers == 2) {
                         WriteTo(sim.heading(), BuildHdtSentence("GP", 123.4f, 1) + "\r\n");
                     }
                 });
    ASSERT_EQ(run.status, 0);
    const auto one = ggaLines(run.lines[0]);
    const auto two = ggaLines(run.lines[1]);
    ASSERT_EQ(one.size(), 10u);
    ASSERT_EQ(two.size(), 10u);

    // The true antenna positions, from the reference point with GeographicLib.
    const double offsetsXY[2][2] = {{offsets.x1, offsets.y1}, {offsets.x2, offsets.y2}};
    double truth[2][2];
    for (int i = 0; i < 2; ++i) {
        GeographicLib::Geodesic::WGS84().Direct(
            -41.3, 174.8, 123.37 + std::atan2(offsetsXY[i][0], offsetsXY[i][1]) * kDegreesPerRadian,
            std::hypot(offsetsXY[i][0], offsetsXY[i][1]), truth[i][0], truth[i][1]);
    }
    for (std::size_t k = 0; k < 10; ++k) {
        for (int receiver = 0; receiver < 2; ++receiver) {
            const std::string& line = (receiver == 0 ? one : two)[k].line;
            EXPECT_TRUE(intact(line)) << line;
            EXPECT_EQ(line.substr(0, 7), "$GPGGA,");
            const DecodedFix fix = DecodeGga(line);
            double distance = 0, azimuth1 = 0, azimuth2 = 0;
            GeographicLib::Geodesic::WGS84().Inverse(truth[receiver][0], truth[receiver][1],
                                                     fix.latitude, fix.longitude, distance,
                                                     azimuth1, azimuth2);
            EXPECT_LT(distance, 0.003) << line;
            EXPECT_EQ(field(line, 6), "4");
        }
        EXPECT_EQ(field(one[k].line, 1), field(two[k].line, 1)) << "same time in epoch " << k;
        for (int f = 6; f <= 14; ++f) {
            EXPECT_EQ(field(one[k].line, f), field(two[k].line, f)) << "field " << f;
        }
        if (k > 0) {
            EXPECT_EQ(centiseconds(field(one[k].line, 1)) - centiseconds(field(one[k - 1].line, 1)),
                      20);
        }
    }
    // Paced by the steady clock: 1.6 s from the second to the last epoch
    // (the first may have waited for the device to be opened).
    const std::chrono::duration<double> span = one[9].lineFeed - one[1].lineFeed;
    EXPECT_NEAR(span.count(), 1.6, 0.15);

    EXPECT_EQ(ReportValue(run.report, "epochs"), 10) << run.report;
    EXPECT_EQ(ReportValue(run.report, "hdt_received"), 12) << run.report;
    EXPECT_EQ(ReportValue(run.report, "hdt_invalid"), 1) << run.report;
    // The second answer to one epoch: an error, scored all the same.
    EXPECT_EQ(ReportValue(run.report, "hdt_unpaired"), 1) << run.report;
    EXPECT_EQ(ReportValue(run.report, "sentences_mispaired"), 1) << run.report;
    EXPECT_EQ(ReportValue(run.report, "sentences_per_epoch_max"), 2) << run.report;
    EXPECT_EQ(ReportValue(run.report, "hdt_paired"), 10) << run.report;
    EXPECT_EQ(ReportValue(run.report, "hdt_missing_clean"), 0) << run.report;
    // 123.37 goes out as 123.4; the positions' last decimal is worth far less.
    EXPECT_NEAR(ReportValue(run.report, "heading_error_deg.max"), 0.03, 0.005) << run.report;
    EXPECT_NEAR(ReportValue(run.report, "heading_error_deg.mean"), 0.03, 0.005) << run.report;
    EXPECT_GE(ReportValue(run.report, "latency_ms.p50"), 0) << run.report;
    EXPECT_LT(ReportValue(run.report, "latency_ms.p99"), 250) << run.report;
    EXPECT_LE(ReportValue(run.report, "latency_ms.p99"), ReportValue(run.report, "latency_ms.max"));
}

TEST(SimExecutable, ScoresWhatArrivesOnTheNetworkAndTimesPort3AsWell) {
    // Port 3 gets the HDT only; the datagrams the HDT and the ROT of a turn
    // to starboard at 3 degrees a second.
    const int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(bind(probe, reinterpret_cast<const sockaddr*>(&address), size), 0);
    ASSERT_EQ(getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size), 0);
    // The simulator's port: the one the probe has now, once it is free.
    const int port = ntohs(address.sin_port);
    close(probe);
    const int udp = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const auto datagram = [&](const std::string& text) {
        sendto(udp, text.data(), text.size(), 0, reinterpret_cast<const sockaddr*>(&address), size);
    };
    const Offsets offsets{0, 0, 0, 2};
    const SimRun run = simulate(
        {"--rate", "5", "--duration", "2", "--turn-rate", "3", "--sentences", "HDT,ROT",
         "--listen-udp", std::to_string(port)},
        offsets, [&](SimProcess&, const Arrival&, const std::string& answer) {
            if (!answer.empty()) {
                datagram(answer);
                datagram("$GPROT,180.0,A*38\r\n");
            }
        });
    close(udp);
    ASSERT_EQ(run.status, 0);
    const std::string& report = run.report;
    EXPECT_EQ(ReportValue(report, "epochs"), 10) << report;
    EXPECT_EQ(ReportValue(report, "hdt_paired"), 10) << report;
    EXPECT_EQ(ReportValue(report, "rot_valid"), 10) << report;
    EXPECT_EQ(ReportValue(report, "hdt_missing_clean"), 0) << "port 3 lacks every ROT";
    EXPECT_LT(ReportValue(report, "rot_error_deg_per_min.max"), 1e-9) << report;
    EXPECT_LE(ReportValue(report, "heading_error_deg.max"), 0.06) << report;
    for (const char* key : {"latency_ms.p50", "port3_latency_ms.p50"}) {
        EXPECT_GE(ReportValue(report, key), 0) << key << report;
        EXPECT_LT(ReportValue(report, key), 250) << key << report;
    }
}

TEST(SimExecutable, DroppedAndGarbledSentencesLoseOnlyTheEpochsTheyHit) {
    const Offsets offsets{0, 0, 0, 2};
    const SimRun run =
        simulate({"--rate", "10", "--duration", "2", "--drop-rate", "0.15", "--garbage-rate",
                  "0.15", "--seed", "3", "--speed", "8", "--turn-rate", "2"},
                 offsets);
    ASSERT_EQ(run.status, 0);
    std::set<std::string> intactTimes[2];
    int broken = 0;
    int received = 0;
    for (int receiver = 0; receiver < 2; ++receiver) {
        for (const Arrival& arrival : run.lines[receiver]) {
            ++received;
            if (intact(arrival.line)) {
                intactTimes[receiver].insert(field(arrival.line, 1));
            } else {
                ++broken;
            }
        }
    }
    int bothIntact = 0;
    for (const std::string& time : intactTimes[0]) {
        bothIntact += intactTimes[1].count(time) != 0 ? 1 : 0;
    }
    const std::string& report = run.report;
    ASSERT_EQ(ReportValue(report, "epochs"), 20) << report;
    EXPECT_GT(broken, 0) << "the seed gives garbage";
    EXPECT_LT(bothIntact, 20) << "the seed gives faults";
    EXPECT_EQ(ReportValue(report, "sentences_garbled"), broken) << report;
    EXPECT_EQ(ReportValue(report, "sentences_dropped"), 40 - received) << report;
    EXPECT_EQ(ReportValue(report, "epochs_faulted"), 20 - bothIntact) << report;
    EXPECT_EQ(ReportValue(report, "epochs_lost"), 20 - bothIntact) << report;
    EXPECT_EQ(ReportValue(report, "hdt_paired"), bothIntact) << report;
    EXPECT_EQ(ReportValue(report, "hdt_missing_clean"), 0) << report;
    EXPECT_EQ(ReportValue(report, "hdt_unpaired"), 0) << report;
    EXPECT_LE(ReportValue(report, "heading_error_deg.max"), 0.06) << report;
}

TEST(SimExecutable, BadFieldsKeepTheirChecksumAndTheirEpochsStillAnswer) {
    const SimRun run =
        simulate({"--rate", "10", "--duration", "1", "--bad-field=0.5"}, Offsets{0, 0, 0, 2});
    ASSERT_EQ(run.status, 0);
    const auto one = ggaLines(run.lines[0]);
    const auto two = ggaLines(run.lines[1]);
    ASSERT_EQ(one.size(), 10u);
    ASSERT_EQ(two.size(), 10u);
    int badLines = 0;
    int badEpochs = 0;
    for (std::size_t k = 0; k < 10; ++k) {
        EXPECT_TRUE(intact(one[k].line) && intact(two[k].line));
        const bool bad1 = !DecodeGga(one[k].line).failures.empty();
        const bool bad2 = !DecodeGga(two[k].line).failures.empty();
        badLines += (bad1 ? 1 : 0) + (bad2 ? 1 : 0);
        badEpochs += bad1 || bad2 ? 1 : 0;
    }
    EXPECT_GT(badLines, 0);
    EXPECT_EQ(ReportValue(run.report, "sentences_bad_field"), badLines) << run.report;
    EXPECT_EQ(ReportValue(run.report, "epochs_faulted"), badEpochs) << run.report;
    EXPECT_EQ(ReportValue(run.report, "epochs_lost"), 0) << run.report;
    EXPECT_EQ(ReportValue(run.report, "hdt_paired"), 10) << run.report;
}

TEST(SimExecutable, SilenceAndSkewDecideWhichEpochsCount) {
    // Epochs start on a whole second, 0.1 s apart; the program pairs by the
    // time stamps (to the millisecond, the short way round midnight) within
    // 0.2 s.
    struct Row {
        const char* legend;
        std::vector<std::string> arguments;
        std::vector<std::size_t> gps2Epochs;  // the epochs GPS 2 sends
        long skew;                            // hundredths added to GPS 2's time
        int counted;
    };
    const std::vector<std::string> tenEpochs{"--rate", "10", "--duration", "1"};
    const auto with = [&](std::vector<std::string> more) {
        more.insert(more.end(), tenEpochs.begin(), tenEpochs.end());
        return more;
    };
    const std::vector<std::size_t> all{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const Row rows[] = {
        {"GPS 2 silent after 0.3 s",
         with({"--silent", "2", "--silent-after", "0.3"}),
         {0, 1, 2},
         0,
         3},
        {"GPS 2 silent from 0.2 s until 0.6 s",
         with({"--silent", "2", "--silent-after", "0.2", "--silent-until", "0.6"}),
         {0, 1, 6, 7, 8, 9},
         0,
         6},
        {"GPS 2 0.15 s late: each GPS 1 fix carried to GPS 2's previous stamp, the first has "
         "no track",
         with({"--skew", "0.15"}), all, 15, 9},
        {"GPS 2 half a second late: stamped alike with GPS 1's five epochs later",
         with({"--skew", "0.5"}), all, 50, 5},
        {"GPS 2 a day less 0.1 s ahead: 0.1 s behind, stamped alike with GPS 1's previous",
         with({"--skew", "86399.9"}), all, 8639990, 9},
        {"GPS 2 two seconds early", with({"--skew", "-2"}), all, -200, 0},
    };
    for (const Row& row : rows) {
        const SimRun run = simulate(row.arguments, std::nullopt);
        ASSERT_EQ(run.status, 0) << row.legend;
        const auto one = ggaLines(run.lines[0]);
        const auto two = ggaLines(run.lines[1]);
        ASSERT_EQ(one.size(), 10u) << row.legend;
        ASSERT_EQ(two.size(), row.gps2Epochs.size()) << row.legend;
        for (std::size_t k = 0; k < two.size(); ++k) {
            const long t1 = centiseconds(field(one[row.gps2Epochs[k]].line, 1));
            const long t2 = centiseconds(field(two[k].line, 1));
            EXPECT_EQ((t2 - t1 + 8640000) % 8640000, (row.skew + 8640000) % 8640000) << row.legend;
        }
        EXPECT_EQ(ReportValue(run.report, "epochs"), row.counted) << row.legend << run.report;
        EXPECT_EQ(ReportValue(run.report, "hdt_missing_clean"), row.counted) << row.legend;
    }
}

TEST(SimExecutable, AnswersFromFixesOfTwoEpochsAreScoredAsMispaired) {
    // At 10 Hz each epoch's GPS 1 GGA is 0.1 s from GPS 2's previous one: a
    // program that pairs every GGA with the other's latest answers it from
    // fixes of two epochs. Athwartships at 10 knots, that answer is about
    // 14 degrees off.
    const Offsets offsets{-1, 0, 1, 0};
    const SimRun run =
        simulate({"--rate", "10", "--duration", "2", "--speed", "10", "--offsets",
                  offsets.argument(), "--drop-rate", "0.1", "--seed", "5"},
                 offsets, {}, true);
    ASSERT_EQ(run.status, 0);
    const std::string& report = run.report;
    const double epochs = ReportValue(report, "epochs");
    const double lost = ReportValue(report, "epochs_lost");
    ASSERT_EQ(epochs, 20) << report;
    EXPECT_GT(lost, 0) << "the seed drops sentences";
    EXPECT_EQ(ReportValue(report, "hdt_paired"), epochs - lost) << report;
    EXPECT_EQ(ReportValue(report, "hdt_missing_clean"), 0) << report;
    EXPECT_GT(ReportValue(report, "sentences_mispaired"), 0) << report;
    EXPECT_GE(ReportValue(report, "sentences_per_epoch_max"), 2) << report;
    EXPECT_EQ(ReportValue(report, "hdt_received"),
              ReportValue(report, "hdt_paired") + ReportValue(report, "sentences_mispaired"))
        << report;
    EXPECT_GT(ReportValue(report, "heading_error_deg.max"), 10) << report;
}

TEST(SimExecutable, GpsTwoOnItsOwnGridAndAFloatSolutionInItsWindow) {
    // GPS 2 at 4 Hz, 0.05 s after GPS 1's 8 Hz grid, floating from 0.5 s to
    // 1 s: quality 5 and 0.3 m further from GPS 1.
    const Offsets offsets{0, 0, 0, 2};
    const double heading = 30;
    const double metresPerSecond = 12 * 1852.0 / 3600;
    const SimRun run = simulate(
        {"--rate", "8", "--rate2", "4", "--epoch-offset", "0.05", "--duration", "1.5",
         "--heading", "30", "--speed", "12", "--lat", "10", "--lon", "20", "--offsets",
         offsets.argument(), "--float-receiver", "2", "--float-after", "0.5", "--float-until",
         "1"},
        std::nullopt);
    ASSERT_EQ(run.status, 0);
    const auto one = ggaLines(run.lines[0]);
    const auto two = ggaLines(run.lines[1]);
    ASSERT_EQ(one.size(), 12u);
    ASSERT_EQ(two.size(), 6u);
    for (std::size_t j = 0; j < two.size(); ++j) {
        const double t = 0.05 + 0.25 * static_cast<double>(j);
        const bool floating = t >= 0.5 && t < 1;
        const long apart =
            centiseconds(field(two[j].line, 1)) - centiseconds(field(one[2 * j].line, 1));
        EXPECT_EQ(apart, 5) << j;
        const std::chrono::duration<double> late = two[j].lineFeed - one[2 * j].lineFeed;
        EXPECT_NEAR(late.count(), 0.05, 0.03) << "GPS 2 sends at its own instant, " << j;
        EXPECT_EQ(field(two[j].line, 6), floating ? "5" : "4") << j;
        // The truth: the reference sails its heading from the start; GPS 2
        // stands 2 m ahead of it, and 2.3 m while floating.
        double latitude = 0, longitude = 0, aheadLatitude = 0, aheadLongitude = 0;
        GeographicLib::Geodesic::WGS84().Direct(10, 20, heading, metresPerSecond * t, latitude,
                                                longitude);
        GeographicLib::Geodesic::WGS84().Direct(latitude, longitude, heading,
                                                floating ? 2.3 : 2, aheadLatitude, aheadLongitude);
        const DecodedFix fix = DecodeGga(two[j].line);
        double distance = 0, azimuth1 = 0, azimuth2 = 0;
        GeographicLib::Geodesic::WGS84().Inverse(aheadLatitude, aheadLongitude, fix.latitude,
                                                 fix.longitude, distance, azimuth1, azimuth2);
        EXPECT_LT(distance, 0.003) << j;
    }
    // Each GPS 2 fix makes an epoch with GPS 1's carried forward, once GPS 1
    // has a track (not the first); the two floating ones are hit by a fault.
    EXPECT_EQ(ReportValue(run.report, "epochs"), 5) << run.report;
    EXPECT_EQ(ReportValue(run.report, "epochs_faulted"), 2) << run.report;
    EXPECT_EQ(ReportValue(run.report, "epochs_lost"), 0) << run.report;
}

TEST(SimExecutable, WaitsForAnotherProcessToOpenTheDevices) {
    SimProcess sim({"--wait-for", std::to_string(getpid()), "--rate", "5", "--duration", "1"});
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const auto opened = Clock::now();
    std::vector<Arrival> lines;
    ASSERT_EQ(Pump(sim, {sim.gps1(), sim.gps2(), sim.heading()},
                   [&](const Arrival& arrival) { lines.push_back(arrival); }),
              0);
    ASSERT_EQ(lines.size(), 10u) << "every epoch, none lost before the devices were open";
    // Streaming starts a moment after the devices are open, not before.
    EXPECT_GE(lines.front().firstByte - opened, std::chrono::milliseconds(200));
}

TEST(SimExecutable, OtherSentencesFollowEachGgaWithTheSameFix) {
    const SimRun run =
        simulate({"--rate", "5", "--duration", "1", "--extra", "RMC,GSA"}, std::nullopt);
    ASSERT_EQ(run.status, 0);
    const char* const addresses[] = {"GGA", "RMC", "GSA"};
    for (int receiver = 0; receiver < 2; ++receiver) {
        const auto& lines = run.lines[receiver];
        ASSERT_EQ(lines.size(), 15u);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i].line;
            EXPECT_TRUE(intact(line)) << line;
            EXPECT_EQ(line.substr(3, 3), addresses[i % 3]) << line;
            if (i % 3 == 1) {
                const std::string& gga = lines[i - 1].line;
                EXPECT_EQ(field(line, 1), field(gga, 1)) << "time";
                for (int f = 0; f < 4; ++f) {
                    EXPECT_EQ(field(line, 3 + f), field(gga, 2 + f)) << "position";
                }
            }
        }
    }
}

TEST(SimExecutable, PacedLinesAndTheOrderOfTheReceivers) {
    struct Row {
        const char* order;
        int first;
    };
    for (const Row row : {Row{"12", 0}, Row{"21", 1}}) {
        const SimRun run = simulate(
            {"--rate", "4", "--duration", "0.75", "--pace-baud", "9600", "--order", row.order},
            std::nullopt);
        ASSERT_EQ(run.status, 0);
        const auto first = ggaLines(run.lines[row.first]);
        const auto second = ggaLines(run.lines[1 - row.first]);
        ASSERT_EQ(first.size(), 3u);
        ASSERT_EQ(second.size(), 3u);
        // About 85 characters at 960 a second: close to 90 ms a sentence, and
        // the second receiver's GGA starts when the first's has gone. Unpaced,
        // both would come within a millisecond; a busy reader only sees the
        // spans shorter, so the bounds leave room.
        for (std::size_t k = 1; k < 3; ++k) {
            const std::chrono::duration<double> spread = first[k].lineFeed - first[k].firstByte;
            const std::chrono::duration<double> after = second[k].lineFeed - first[k].lineFeed;
            EXPECT_GT(spread.count(), 0.03) << row.order;
            EXPECT_GT(after.count(), 0.03) << row.order;
            EXPECT_LT(after.count(), 0.3) << row.order;
        }
    }
}

TEST(SimExecutable, BadOptionsEndWithStatus2AndOneLine) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--rate", "0"}, std::vector<std::string>{"--order", "3"},
          std::vector<std::string>{"stray"}}) {
        const Finished finished = RunToEnd(arguments);
        EXPECT_EQ(finished.status, 2) << arguments[0];
        EXPECT_EQ(std::count(finished.standardError.begin(), finished.standardError.end(), '\n'), 1)
            << finished.standardError;
        EXPECT_NE(finished.standardError.find(arguments[0]), std::string::npos)
            << finished.standardError;
    }
    const Finished help = RunToEnd({"--help"});
    EXPECT_EQ(help.status, 0);
}

TEST(SimExecutable, ASignalEndsTheRunAndStillWritesTheReport) {
    const TemporaryFolder folder;
    const std::string reportPath = folder.path() + "/report.json";
    SimProcess sim({"--rate", "5", "--report", reportPath});
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    kill(sim.pid(), SIGTERM);
    EXPECT_EQ(sim.wait(std::chrono::seconds(5)), 0);
    const std::string report = ReadFile(reportPath);
    EXPECT_GE(ReportValue(report, "epochs"), 5) << report;
    EXPECT_LE(ReportValue(report, "epochs"), 8) << report;
}

// A stand-in for the heading program: records what it was given, holds the
// three devices open and then reads one GGA and ends, or waits for SIGTERM.
const char* const kStandIn = R"(#!/bin/sh
folder="$2"
printf '%s\n' "$@" > "$folder/args"
printf '%s\n' "$XDG_CONFIG_HOME" > "$folder/xdg"
exec 3<"${4#1=}" 4<"${6#2=}" 5>"${8#3=}"
case "$9" in
--read-one) head -n 1 <&3 > "$folder/first-gga" ;;
--wait-term)
    trap 'echo terminated > "$folder/term"; exit 0' TERM
    while :; do sleep 0.05; done ;;
esac
)";

TEST(SimExecutable, LaunchesTheProgramWithItsOwnFolderAndEndsWithIt) {
    const TemporaryFolder folder;
    const std::string program = folder.path() + "/stand-in";
    { std::ofstream(program) << kStandIn; }
    chmod(program.c_str(), 0700);
    struct Row {
        const char* mode;
        const char* duration;
        double atLeast, atMost;  // seconds the run takes
        const char* leftBehind;
    };
    const Row rows[] = {
        {"--read-one", "20", 0.0, 10.0, "first-gga"},
        {"--wait-term", "1", 1.0, 8.0, "term"},
    };
    for (const Row& row : rows) {
        const std::string programFolder = folder.path() + "/run" + row.mode;
        const std::string reportPath = programFolder + ".json";
        const auto start = Clock::now();
        SimProcess sim({"--launch", "--program", program, "--program-folder", programFolder,
                        "--rate", "5", "--duration", row.duration, "--offsets", "0.5,-1.25,0,3",
                        "--report", reportPath, "--", row.mode});
        ASSERT_EQ(sim.wait(std::chrono::seconds(20)), 0) << row.mode;
        const std::chrono::duration<double> took = Clock::now() - start;
        EXPECT_GE(took.count(), row.atLeast) << row.mode;
        EXPECT_LE(took.count(), row.atMost) << row.mode;

        EXPECT_EQ(ReadFile(programFolder + "/args"),
                  "--program-folder\n" + programFolder + "\n--com\n1=" + sim.gps1() +
                      "\n--com\n2=" + sim.gps2() + "\n--com\n3=" + sim.heading() + "\n" + row.mode +
                      "\n");
        EXPECT_EQ(ReadFile(programFolder + "/xdg"), programFolder + "/config\n");
        EXPECT_EQ(ReadFile(programFolder + "/Bivane.ini"),
                  "1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n0.5,-1.25\r\n"
                  "0,3\r\n#TRUE#\r\n");
        const std::string leftBehind = ReadFile(programFolder + "/" + row.leftBehind);
        EXPECT_FALSE(leftBehind.empty()) << row.leftBehind;
        if (std::string(row.mode) == "--read-one") {
            EXPECT_TRUE(isGga(leftBehind) && intact(leftBehind)) << leftBehind;
        }
        EXPECT_GE(ReportValue(ReadFile(reportPath), "epochs"), 1) << row.mode;
    }
}

}  // namespace
}  // namespace bivane::sim::test

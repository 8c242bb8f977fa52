// nmea-bivaned's minute summary, and the service as a user runs it.

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "service/minute_summary.h"
#include "tests/serial_qt/pseudo_terminal.h"
#include "tests/support/replayed.h"
#include "tests/support/turning_epochs.h"

namespace bivane {
namespace {

TEST(MinuteSummary, CountsCompletedEpochsAndStartsAgainAfterEachLine) {
    MinuteSummary summary;
    EXPECT_EQ(summary.takeLine().toStdString(),
              "last minute: 0 epochs, 0 headings (THS valid 0, not valid 0), no heading");
    const auto report = [](CycleOutcome outcome, bool valid, float heading) {
        return CycleReport{.outcome = outcome,
                           .timeDiffSeconds = -0.05,
                           .instantMs = ((12 * 60 + 34) * 60 + 56) * 1000 + 780,
                           .heading = heading,
                           .headingValid = valid};
    };
    for (const CycleReport& r :
         {report(CycleOutcome::NotReady, false, 0), report(CycleOutcome::Heading, true, 123.45f),
          report(CycleOutcome::Waiting, false, 0), report(CycleOutcome::Heading, false, 10.0f),
          report(CycleOutcome::Stale, false, 0), report(CycleOutcome::Heading, true, 359.94f)}) {
        summary.count(r);
    }
    EXPECT_EQ(summary.takeLine().toStdString(),
              "last minute: 4 epochs, 3 headings (THS valid 2, not valid 2), last heading 359.9° "
              "at 12:34:56.78 UTC, time difference -0.05 s");
    EXPECT_EQ(summary.epochs(), 0);
}

}  // namespace
}  // namespace bivane

namespace bivane::test {
namespace {

// nmea-bivaned as a user runs it, on pseudo-terminals whose GPS 1 is reached
// through a link (as a USB receiver is through /dev/serial/by-id/) that a test
// can unplug and plug in again. Its headings under the simulator are those of
// the engine and the serial ports the window uses, which the end-to-end test
// scores.

using namespace std::chrono_literals;
using test_support::PseudoTerminal;
using Clock = std::chrono::steady_clock;

// The service as a child process, its standard error read line by line.
class Service {
  public:
    Service(const QStringList& arguments, const QString& configFolder) {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
        m_process.setProcessEnvironment(environment);
        m_process.setReadChannel(QProcess::StandardError);
        m_process.start(QStringLiteral(SERVICE_EXECUTABLE), arguments);
    }
    ~Service() {
        m_process.kill();
        m_process.waitForFinished();
    }

    // True once a status line containing `part` has come after the ones
    // found before.
    bool waitForLine(const std::string& part, std::chrono::milliseconds limit) {
        const QDeadlineTimer deadline(limit);
        while (true) {
            const std::size_t found = m_text.find(part, m_searched);
            if (found != std::string::npos) {
                m_searched = m_text.find('\n', found);
                return true;
            }
            if (deadline.hasExpired() ||
                !m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
                return false;
            }
            m_text += m_process.readAllStandardError().toStdString();
        }
    }
    const std::string& statusText() const { return m_text; }

    void signal(int number) const { ::kill(static_cast<pid_t>(m_process.processId()), number); }
    int wait() {
        m_process.waitForFinished(10000);
        m_text += m_process.readAllStandardError().toStdString();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    std::chrono::microseconds cpu() const {
        std::ifstream stat("/proc/" + pid() + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        long ticks = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i >= 14) {
                ticks += std::stol(field);  // utime, stime
            }
        }
        return std::chrono::microseconds(ticks * 1'000'000 / ::sysconf(_SC_CLK_TCK));
    }
    long residentKb() const {
        std::ifstream status("/proc/" + pid() + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with("VmRSS:")) {
                return std::stol(line.substr(6));
            }
        }
        return -1;
    }
    int descriptors() const {
        const std::filesystem::directory_iterator entries("/proc/" + pid() + "/fd");
        return static_cast<int>(std::distance(entries, {}));
    }

  private:
    std::string pid() const { return std::to_string(m_process.processId()); }

    QProcess m_process;
    std::string m_text;
    std::size_t m_searched = 0;
};

std::string hdt(int degrees) {
    return QString::asprintf("$GPHDT,%03d.0,T", (degrees % 360 + 360) % 360).toStdString();
}

TEST(Service, ReceiversComeBackByThemselvesAndSighupReadsChangedOffsets) {
    QTemporaryDir folder;
    const std::filesystem::path root = folder.path().toStdString();
    const std::filesystem::path link = root / "gps1";
    auto gps1 = std::make_unique<PseudoTerminal>();
    PseudoTerminal gps2;
    PseudoTerminal heading;
    const auto plugIn = [&](const QString& device) {
        std::filesystem::remove(link);
        if (!device.isEmpty()) {
            std::filesystem::create_symlink(device.toStdString(), link);
        }
    };
    plugIn(gps1->devicePath());
    // Ports 1 to 3 as they are built in, so the start finds every port as it
    // should be but closed and not waited for; GPS 2 five metres ahead, then
    // five metres to starboard.
    const auto writeSettings = [&](const char* offsets) {
        std::ofstream(root / "Bivane.ini", std::ios::binary)
            << "1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n"
            << offsets << "#TRUE#\r\n";
    };
    writeSettings("0,0\r\n0,5\r\n");
    Service service(
        QProcess::splitCommand(
            QStringLiteral("--program-folder \"%1\" --com \"1=%2\" --com \"2=%3\" --com "
                           "\"3=%4\" --log --record \"%1/input.capture\"")
                .arg(folder.path(), QString::fromStdString(link.string()), gps2.devicePath(),
                     heading.devicePath())),
        folder.filePath(QStringLiteral("config")));
    // The running line, which names the offsets.
    ASSERT_TRUE(service.waitForLine("offsets GPS 1 X 0.00 Y 0.00 m, GPS 2 X 0.00 Y 5.00 m", 10s))
        << service.statusText();
    int epoch = 0;
    std::string sent;  // everything the heading output sent
    const auto headingOf = [&](int n) {
        const auto [first, second] = EpochPair(n);
        gps1->send(first);
        gps2.send(second);
        // The heading sentence the heading output sends next, up to its line end.
        std::string sentence;
        const auto end = Clock::now() + 3s;
        while (sentence.find('\n') == std::string::npos && Clock::now() < end) {
            sentence += heading.receive(100ms);
        }
        sent += sentence;
        return sentence.substr(0, 14);
    };
    ASSERT_EQ(headingOf(epoch), hdt(epoch));

    const std::string gps1Port = "GPS 1 on COM 1 (" + link.string() + ", 4800,n,8,1)";
    int descriptors = 0;
    long memory = 0;
    for (int round = 1; round <= 5; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        gps1->closeMaster();
        plugIn({});
        ASSERT_TRUE(service.waitForLine(gps1Port + " lost its device", 5s)) << service.statusText();
        const auto cpuBefore = service.cpu();
        std::this_thread::sleep_for(1500ms);
        const auto idleCpu = service.cpu() - cpuBefore;
        EXPECT_LE(idleCpu, 50ms) << "the lost receiver keeps the service busy";

        gps1 = std::make_unique<PseudoTerminal>();
        plugIn(gps1->devicePath());
        QElapsedTimer sincePlugIn;
        sincePlugIn.start();
        ASSERT_TRUE(service.waitForLine(gps1Port + " is back", 2s)) << service.statusText();
        ++epoch;
        EXPECT_EQ(headingOf(epoch), hdt(epoch));
        std::cout << "[ figures  ] round " << round << ": back after " << sincePlugIn.elapsed()
                  << " ms; CPU in 1.5 s unplugged " << idleCpu.count() << " us; descriptors "
                  << service.descriptors() << "\n";
        if (round == 1) {
            descriptors = service.descriptors();
            memory = service.residentKb();
        }
    }
    EXPECT_EQ(service.descriptors(), descriptors) << "descriptors left behind by a replug";
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer keeps freed memory aside: only a plain build shows growth.
    EXPECT_LT(service.residentKb() - memory, 1024) << "memory grows with every replug";
#endif
    std::cout << "[ figures  ] resident memory after round 1: " << memory
              << " kB, after round 5: " << service.residentKb() << " kB\n";

    // GPS 2 to starboard: the line between the antennas is abeam. The
    // recording goes on in a new file, which replays with the new offsets.
    const std::string sentBefore = sent;
    sent.clear();
    writeSettings("0,0\r\n5,0\r\n");
    service.signal(SIGHUP);
    ASSERT_TRUE(service.waitForLine("GPS 1 X 0.00 Y 0.00 m, GPS 2 X 5.00 Y 0.00 m", 5s))
        << service.statusText();
    ++epoch;
    EXPECT_EQ(headingOf(epoch), hdt(epoch - 90));

    service.signal(SIGTERM);
    EXPECT_EQ(service.wait(), 0) << service.statusText();
    EXPECT_NE(service.statusText().find("stopped after " + std::to_string(epoch + 1) +
                                        " epochs; log synced"),
              std::string::npos)
        << service.statusText();
    int logged = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root / "log")) {
        std::ifstream log(entry.path());
        for (std::string line; std::getline(log, line);) {
            logged += line.starts_with("$GPHDT,") ? 1 : 0;
        }
    }
    EXPECT_EQ(logged, epoch + 1) << "every heading sent is in the log";
    const QString replay = QStringLiteral(REPLAY_EXECUTABLE);
    EXPECT_EQ(Replayed(replay, folder.filePath(QStringLiteral("input.capture.1"))), sentBefore);
    EXPECT_EQ(Replayed(replay, folder.filePath(QStringLiteral("input.capture"))), sent);
    std::cout << "[ status   ]\n" << service.statusText();
}

}  // namespace
}  // namespace bivane::test

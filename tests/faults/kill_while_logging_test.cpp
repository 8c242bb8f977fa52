// The window killed outright (SIGKILL: no close, no stop of the logging)
// while it logs: every heading it showed before is in the log file, and the
// log and the heading output hold the same sentences but for at most the
// last one, whose cycle the kill may have cut short. The window runs in a child
// process, which logs from its start (window_child_main.cpp).

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <iostream>
#include <thread>
#include <vector>

#include "tests/faults/window_child.h"
#include "tests/faults/window_on_lines.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::PseudoTerminal;

constexpr std::size_t kHdtLineSize = 19;  // "$GPHDT,026.7,T*36\r\n"

struct Round {
    const char* legend;
    int shownFirst;  // epochs sent one by one, each shown before the next
    int burst;       // epochs sent at once after them
    std::chrono::microseconds killAfter;
};

class KillWhileLogging : public ::testing::Test {
  protected:
    void run(const Round& round);
};

void KillWhileLogging::run(const Round& round) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PseudoTerminal gps1;
    PseudoTerminal gps2;
    PseudoTerminal heading;
    const QString folder = dir.filePath(QStringLiteral("pf"));
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteWholeFile(folder + QStringLiteral("/Bivane.ini"), kLinesSettings);

    QProcess window;
    StartWindowChild(window, dir.filePath(QStringLiteral("config")),
                     {QStringLiteral("log"), QStringLiteral("--program-folder"), folder,
                      QStringLiteral("--com"), QStringLiteral("11=") + gps1.devicePath(),
                      QStringLiteral("--com"), QStringLiteral("12=") + gps2.devicePath(),
                      QStringLiteral("--com"), QStringLiteral("13=") + heading.devicePath()});
    ASSERT_TRUE(window.waitForStarted(5000));
    ASSERT_TRUE(window.waitForReadyRead(20000) && window.canReadLine()) << "logging did not start";
    const QString logLine = QString::fromUtf8(window.readLine()).trimmed();
    ASSERT_TRUE(logLine.startsWith(QStringLiteral("log "))) << logLine.toStdString();
    const QString logFile = logLine.mid(4);

    std::vector<std::string> shown;
    std::string sent;
    const auto takeShown = [&] {
        while (window.canReadLine()) {
            const QString line = QString::fromUtf8(window.readLine()).trimmed();
            if (line.startsWith(QStringLiteral("shown $"))) {
                shown.push_back(line.mid(6).toStdString() + "\r\n");
            }
        }
    };
    const auto sendEpoch = [&](int n) {
        const auto [first, second] = EpochPair(n);
        gps1.send(first);
        gps2.send(second);
    };
    int n = 0;
    for (; n < round.shownFirst; ++n) {
        sendEpoch(n);
        const auto due = std::chrono::steady_clock::now() + 10s;
        while (shown.size() <= static_cast<std::size_t>(n) &&
               std::chrono::steady_clock::now() < due) {
            window.waitForReadyRead(100);
            takeShown();
        }
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(n) + 1) << "epoch " << n << " not shown";
        sent += heading.receive(0ms);
    }
    for (int k = 0; k < round.burst; ++k, ++n) {
        sendEpoch(n);
    }
    std::this_thread::sleep_for(round.killAfter);
    window.kill();
    ASSERT_TRUE(window.waitForFinished(10000));
    EXPECT_EQ(window.exitStatus(), QProcess::CrashExit);
    takeShown();
    sent += heading.receive(200ms);

    const std::string log = ReadWholeFile(logFile);
    std::cout << "[ figures  ] " << round.legend << ": " << shown.size() << " headings shown, "
              << sent.size() / kHdtLineSize << " sent, " << log.size() / kHdtLineSize
              << " logged\n";
    std::size_t from = 0;
    for (const std::string& line : shown) {
        const std::size_t at = log.find(line, from);
        ASSERT_NE(at, std::string::npos) << "shown but not logged: " << line;
        from = at + line.size();
    }
    EXPECT_TRUE(log.empty() || log.ends_with("\r\n")) << "a line logged in part";
    // The two outputs of a cycle are written one after the other: the kill
    // may fall between them, once.
    const std::string& shorter = log.size() < sent.size() ? log : sent;
    const std::string& longer = log.size() < sent.size() ? sent : log;
    EXPECT_EQ(longer.compare(0, shorter.size(), shorter), 0) << "log and output differ";
    EXPECT_LE(longer.size() - shorter.size(), kHdtLineSize) << "more than the last heading differs";
}

TEST_F(KillWhileLogging, EveryHeadingShownBeforeTheKillIsInTheLog) {
    const Round rounds[] = {
        {"killed while waiting for the receivers", 6, 0, 0us},
        {"killed as a burst of epochs arrives", 4, 20, 0us},
        {"killed in the middle of a burst", 4, 40, 3000us},
    };
    for (const Round& round : rounds) {
        SCOPED_TRACE(round.legend);
        run(round);
    }
}

}  // namespace
}  // namespace bivane::test

// The window killed outright (SIGKILL: no close, so no writing of the
// settings and no stop of the logging at the end) loses nothing it has
// confirmed or shown. It runs in a process of its own (window_child_main.cpp)
// on pseudo-terminals as COM 11 to 14.

#include <gtest/gtest.h>

#include <QProcess>
#include <array>
#include <thread>

#include "tests/support/turning_epochs.h"
#include "tests/support/window_harness.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::PseudoTerminal;

constexpr std::size_t kHdtLineSize = 19;  // "$GPHDT,026.7,T*36\r\n"

// The window in a process of its own: its program folder and per-user
// settings in `dir`, kLinesSettings as its settings file, system ports 11
// to 14 on `lines`; `action` says what it does after start-up.
void startChild(QProcess& child, const QTemporaryDir& dir, std::array<PseudoTerminal, 4>& lines,
                QStringList arguments) {
    const QString folder = dir.filePath(QStringLiteral("pf"));
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteWholeFile(folder + QStringLiteral("/Bivane.ini"), kLinesSettings);
    arguments << QStringLiteral("--program-folder") << folder;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        arguments << QStringLiteral("--com")
                  << QStringLiteral("%1=%2").arg(11 + i).arg(lines[i].devicePath());
    }
    StartOffscreen(child, QStringLiteral(WINDOW_CHILD), dir.filePath(QStringLiteral("config")),
                   arguments);
    ASSERT_TRUE(child.waitForStarted(5000));
    ASSERT_TRUE(child.waitForReadyRead(20000) && child.canReadLine()) << "the child did not start";
}

void kill(QProcess& child) {
    child.kill();
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
}

TEST(KillAfterOk, TheNextStartHasTheValuesConfirmed) {
    const struct {
        const char* legend;
        QStringList action;
        std::function<void(WindowHarness&)> expect;  // of the next start
    } rows[] = {
        {"antenna offsets",
         {QStringLiteral("offsets"), QStringLiteral("0.004"), QStringLiteral("-1,2345 m"),
          QStringLiteral("2.5"), QStringLiteral("1e-3")},
         [](WindowHarness& next) {
             EXPECT_EQ(next.state().OffsetX, (std::array<double, 2>{0.004, 2.5}));
             EXPECT_EQ(next.state().OffsetY, (std::array<double, 2>{-1.2345, 0.001}));
             EXPECT_TRUE(next.state().HeadingOutput) << "unchanged";
         }},
        {"ports and heading output",
         {QStringLiteral("comm"), QStringLiteral("14"), QStringLiteral("9600,n,8,1"),
          QStringLiteral("off")},
         [](WindowHarness& next) {
             EXPECT_EQ(next.port(1).portNumber(), 14);
             EXPECT_EQ(next.port(1).settings(), "9600,n,8,1");
             EXPECT_FALSE(next.state().HeadingOutput);
             EXPECT_EQ(next.state().OffsetY[1], 5) << "unchanged";
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        QTemporaryDir dir;
        std::array<PseudoTerminal, 4> lines;
        QProcess child;
        ASSERT_NO_FATAL_FAILURE(startChild(child, dir, lines, row.action));
        const QString said = QString::fromUtf8(child.readLine()).trimmed();
        kill(child);
        ASSERT_EQ(said, QStringLiteral("ok")) << "OK was not pressed";
        WindowHarness next;
        next.start(MemoryPorts(), dir.filePath(QStringLiteral("pf")));
        EXPECT_TRUE(next.prompts.messages.empty()) << next.prompts.texts().join(u'|').toStdString();
        row.expect(next);
    }
}

// Every heading the window showed before the kill is in the log, and the log
// and the heading output hold the same sentences but for at most the last
// one, whose cycle the kill may have cut short.
TEST(KillWhileLogging, EveryHeadingShownBeforeTheKillIsInTheLog) {
    const struct {
        const char* legend;
        int shownFirst;  // epochs sent one by one, each shown before the next
        int burst;       // epochs sent at once after them
        std::chrono::microseconds killAfter;
    } rounds[] = {
        {"killed while waiting for the receivers", 6, 0, 0us},
        {"killed as a burst of epochs arrives", 4, 20, 0us},
        {"killed in the middle of a burst", 4, 40, 3000us},
    };
    for (const auto& round : rounds) {
        SCOPED_TRACE(round.legend);
        QTemporaryDir dir;
        std::array<PseudoTerminal, 4> lines;
        QProcess child;
        ASSERT_NO_FATAL_FAILURE(startChild(child, dir, lines, {QStringLiteral("log")}));
        const QString logLine = QString::fromUtf8(child.readLine()).trimmed();
        ASSERT_TRUE(logLine.startsWith(QStringLiteral("log "))) << logLine.toStdString();

        std::vector<std::string> shown;
        std::string sent;
        const auto takeShown = [&] {
            while (child.canReadLine()) {
                const QString line = QString::fromUtf8(child.readLine()).trimmed();
                if (line.startsWith(QStringLiteral("shown $"))) {
                    shown.push_back(line.mid(6).toStdString() + "\r\n");
                }
            }
        };
        const auto sendEpoch = [&](int n) {
            const auto [first, second] = EpochPair(n);
            lines[0].send(first);
            lines[1].send(second);
        };
        int n = 0;
        for (; n < round.shownFirst; ++n) {
            sendEpoch(n);
            const auto due = std::chrono::steady_clock::now() + 10s;
            while (shown.size() <= static_cast<std::size_t>(n) &&
                   std::chrono::steady_clock::now() < due) {
                child.waitForReadyRead(100);
                takeShown();
            }
            ASSERT_EQ(shown.size(), static_cast<std::size_t>(n) + 1) << "epoch " << n;
            sent += lines[2].receive(0ms);
        }
        for (int k = 0; k < round.burst; ++k, ++n) {
            sendEpoch(n);
        }
        std::this_thread::sleep_for(round.killAfter);
        kill(child);
        takeShown();
        // All the dead window wrote, however slowly the line hands it over.
        for (std::string more = lines[2].receive(200ms); !more.empty();
             more = lines[2].receive(200ms)) {
            sent += more;
        }

        const std::string log = ReadWholeFile(logLine.mid(4));
        std::size_t from = 0;
        for (const std::string& line : shown) {
            const std::size_t at = log.find(line, from);
            ASSERT_NE(at, std::string::npos) << "shown but not logged: " << line;
            from = at + line.size();
        }
        EXPECT_TRUE(log.empty() || log.ends_with("\r\n")) << "a line logged in part";
        // The two outputs of a cycle are written one after the other: the
        // kill may fall between them, once.
        const std::string& shorter = log.size() < sent.size() ? log : sent;
        const std::string& longer = log.size() < sent.size() ? sent : log;
        EXPECT_EQ(longer.compare(0, shorter.size(), shorter), 0) << "log and output differ";
        EXPECT_LE(longer.size() - shorter.size(), kHdtLineSize);
    }
}

}  // namespace
}  // namespace bivane::test

// The window killed outright (SIGKILL: no close, so no writing of the
// settings at the end) loses nothing it has confirmed. It runs in a process of its own
// (window_child_main.cpp) on pseudo-terminals as COM 11 to 14.

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

}  // namespace
}  // namespace bivane::test

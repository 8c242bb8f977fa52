// The window killed outright (SIGKILL: no close, so no writing of the
// settings at the end) right after OK in the comm setup or the antenna
// offset dialog: the next start has the values that OK confirmed. The
// window runs in a child process (window_child_main.cpp) on pseudo-terminals
// as COM 11 to 14.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <array>
#include <functional>

#include "tests/faults/window_child.h"
#include "tests/faults/window_on_lines.h"

namespace bivane::test {
namespace {

using test_support::PseudoTerminal;

TEST(KillAfterOk, TheNextStartHasTheValuesConfirmed) {
    struct Row {
        const char* legend;
        QStringList action;
        std::function<void(WindowHarness&)> expect;  // of the next start
    };
    const Row rows[] = {
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        std::array<PseudoTerminal, 4> lines;
        const QString folder = dir.filePath(QStringLiteral("pf"));
        ASSERT_TRUE(QDir().mkpath(folder));
        WriteWholeFile(folder + QStringLiteral("/Bivane.ini"), kLinesSettings);

        QStringList arguments = row.action;
        arguments << QStringLiteral("--program-folder") << folder;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            arguments << QStringLiteral("--com")
                      << QStringLiteral("%1=%2").arg(11 + i).arg(lines[i].devicePath());
        }
        QProcess window;
        StartWindowChild(window, dir.filePath(QStringLiteral("config")), arguments);
        ASSERT_TRUE(window.waitForStarted(5000));
        ASSERT_TRUE(window.waitForReadyRead(20000) && window.canReadLine()) << "no OK pressed";
        const QString said = QString::fromUtf8(window.readLine()).trimmed();
        window.kill();
        ASSERT_TRUE(window.waitForFinished(10000));
        EXPECT_EQ(window.exitStatus(), QProcess::CrashExit);
        ASSERT_EQ(said, QStringLiteral("ok"));

        WindowHarness next;
        next.start(MemoryPorts(), folder);
        EXPECT_TRUE(next.prompts.messages.empty()) << next.prompts.texts().join(u'|').toStdString();
        row.expect(next);
    }
}

}  // namespace
}  // namespace bivane::test

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "tests/app/window_harness.h"

namespace bivane {
namespace {

using test::ReadWholeFile;
using test::WindowHarness;

const QString kStarted = QStringLiteral("Logging started. Data will be stored in file : ");
const QString kStopped = QStringLiteral("Logging stopped. Data stored in file : ");

TEST(DataLogging, OneLinePerComputedHeadingAndTheSameFileNamedAtStartAndStop) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    harness.clock.time = {2026, 12, 5, 23, 45, 0};
    window.cmdLog_Click();

    const QString logFile =
        harness.programFolder() + QStringLiteral("/log/Bivane 20261205-234500.log");
    ASSERT_EQ(harness.prompts.messages.size(), 1u);
    EXPECT_EQ(harness.prompts.messages[0].title, QStringLiteral("NMEA Bivane"));
    EXPECT_EQ(harness.prompts.messages[0].text, kStarted + logFile);
    EXPECT_EQ(window.cmdLog()->text(), QStringLiteral("Stop Logging"));
    EXPECT_TRUE(harness.state().Logging);
    EXPECT_EQ(harness.state().LogFileName, "Bivane 20261205-234500.log");

    // Three headings, a fix one second ahead (no heading), a stale one (no
    // heading), two more headings.
    std::string shown;
    const auto pair = [&](int second) {
        harness.receivePair(second);
        shown += window.label("lblHDT")->text().toStdString() + "\r\n";
    };
    pair(1);
    pair(2);
    pair(3);
    harness.port(1).receive(WindowHarness::FixPair(5).first);   // GPS 2 still at 3
    harness.port(1).receive(WindowHarness::FixPair(10).first);  // stale
    pair(11);
    pair(12);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 5);
    // Each line is in the file as soon as it is shown, before any stop.
    EXPECT_EQ(ReadWholeFile(logFile), shown);

    window.cmdLog_Click();
    ASSERT_EQ(harness.prompts.messages.size(), 2u);
    EXPECT_EQ(harness.prompts.messages[1].text, kStopped + logFile);
    EXPECT_EQ(window.cmdLog()->text(), QStringLiteral("Start Logging"));
    EXPECT_FALSE(harness.state().Logging);
    harness.receivePair(13);
    EXPECT_EQ(ReadWholeFile(logFile), shown) << "nothing after the stop";
}

TEST(DataLogging, ARestartInTheSameSecondAddsToTheSameFile) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    std::string shown;
    const auto pair = [&](int second) {
        harness.receivePair(second);
        shown += window.label("lblHDT")->text().toStdString() + "\r\n";
    };
    // The clock stands still: start, stop and start again within one second.
    window.cmdLog_Click();
    pair(1);
    pair(2);
    window.cmdLog_Click();
    window.cmdLog_Click();
    pair(3);
    window.cmdLog_Click();

    const QString logFile = harness.programFolder() + QStringLiteral("/log/") +
                            QString::fromStdString(harness.state().LogFileName);
    EXPECT_EQ(ReadWholeFile(logFile), shown);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 3);
    EXPECT_EQ(harness.prompts.texts(), QStringList({kStarted + logFile, kStopped + logFile,
                                                    kStarted + logFile, kStopped + logFile}));
}

TEST(DataLogging, AFailedStopShowsOnlyTheFailureAndLoggingEnds) {
    WindowHarness harness;
    harness.clock.time = {2026, 12, 5, 23, 45, 0};
    // A log "file" that takes every line but cannot be synced to disk.
    ASSERT_TRUE(QDir().mkpath(harness.path(QStringLiteral("log"))));
    if (!QFile::link(QStringLiteral("/dev/null"),
                     harness.path(QStringLiteral("log/Bivane 20261205-234500.log")))) {
        GTEST_SKIP() << "no symbolic link to /dev/null";
    }
    Frm_Bivane& window = harness.start();
    window.cmdLog_Click();
    harness.receivePair(1);
    window.cmdLog_Click();

    ASSERT_EQ(harness.prompts.messages.size(), 2u)
        << harness.prompts.texts().join(u'|').toStdString();
    EXPECT_TRUE(
        harness.prompts.messages[1].text.contains(QStringLiteral("cannot be saved to disk")))
        << harness.prompts.messages[1].text.toStdString();
    EXPECT_EQ(window.cmdLog()->text(), QStringLiteral("Start Logging"));
    EXPECT_FALSE(harness.state().Logging);
}

TEST(DataLogging, AFailedStartIsReportedAndLoggingStaysOff) {
    struct Row {
        const char* legend;
        std::function<QString(WindowHarness&)> folder;  // the program folder to use
        const char* inMessage;
    };
    const Row rows[] = {
        {"a file where the log folder should be",
         [](WindowHarness& h) {
             h.writeFile(QStringLiteral("log"), "in the way");
             return h.programFolder();
         },
         "/log/\" cannot be created"},
        {"a folder where the log file should be",
         [](WindowHarness& h) {
             QDir().mkpath(h.path(QStringLiteral("log/Bivane 20261205-123456.log")));
             return h.programFolder();
         },
         "cannot be opened"},
    };
    for (const Row& row : rows) {
        WindowHarness harness;
        Frm_Bivane& window = harness.start(test::MemoryPorts(), row.folder(harness));
        window.cmdLog_Click();
        ASSERT_EQ(harness.prompts.messages.size(), 1u) << row.legend;
        EXPECT_TRUE(harness.prompts.messages[0].text.contains(QLatin1String(row.inMessage)))
            << row.legend << ": " << harness.prompts.messages[0].text.toStdString();
        EXPECT_EQ(window.cmdLog()->text(), QStringLiteral("Start Logging")) << row.legend;
        EXPECT_FALSE(harness.state().Logging) << row.legend;
        // Headings go on without an error line.
        harness.receivePair(1);
        EXPECT_EQ(window.windowText().lblError.text, "No error messages  ") << row.legend;
    }
}

}  // namespace
}  // namespace bivane

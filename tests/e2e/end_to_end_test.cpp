// The window and the simulator together for about 20 seconds at 5 Hz: the
// window in this process, its three ports on the simulator's devices; the
// simulator, a process of its own, scores every HDT sentence of the heading
// output against the vessel's true heading while the test watches the window.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <iostream>

#include "tests/support/sim_process.h"
#include "tests/support/window_harness.h"
#include "tools/sim/settings_file.h"

namespace bivane::test {
namespace {

using sim::test::ReportValue;

TEST(EndToEnd, EveryEpochGivesOneHeadingWithinItsRoundingOfTheTruth) {
    // Antennas 3 m apart and askew to the keel, so the heading correction is
    // part of every heading; from 349.97 degrees through north to 28.2, off
    // the tenths the sentence can carry.
    const sim::AntennaOffsets offsets{{0.4, -0.3}, {-1.5, 1.4}};
    const QTemporaryDir folder;
    const std::string reportPath = folder.filePath(QStringLiteral("report.json")).toStdString();
    sim::test::SimProcess simulator({"--rate", "5", "--duration", "20", "--decimals", "7",
                                     "--turn-rate", "1.93", "--speed", "6", "--heading", "349.97",
                                     "--wait-for", std::to_string(getpid()), "--offsets",
                                     "0.4,-1.5,-0.3,1.4", "--report", reportPath});
    WindowHarness harness;
    harness.lines.mapForThisRun(1, QString::fromStdString(simulator.gps1()));
    harness.lines.mapForThisRun(2, QString::fromStdString(simulator.gps2()));
    harness.lines.mapForThisRun(3, QString::fromStdString(simulator.heading()));
    harness.writeFile(QStringLiteral("Bivane.ini"), sim::SettingsFileText(offsets));
    Frm_Bivane& window = harness.start(harness.linePorts());
    window.show();

    // The window all along, every 20 ms: no "OLD" once headings come.
    bool headings = false;
    int oldAfterHeadings = 0;
    QEventLoop loop;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &loop, [&] {
        if (simulator.ended()) {
            loop.quit();
        }
        headings = headings || window.windowText().lblHDT.text.starts_with("$GPHDT");
        oldAfterHeadings += headings && window.windowText().lblOld.visible ? 1 : 0;
    });
    QTimer::singleShot(std::chrono::seconds(120), &loop, &QEventLoop::quit);
    sampler.start(20);
    loop.exec();
    ASSERT_EQ(simulator.wait(std::chrono::seconds(5)), 0);
    const std::string report = ReadWholeFile(QString::fromStdString(reportPath));
    std::cout << "[ report   ] " << report;
    EXPECT_TRUE(harness.prompts.messages.empty())
        << harness.prompts.texts().join(u'|').toStdString();
    EXPECT_EQ(ReportValue(report, "epochs"), 100) << report;
    EXPECT_EQ(ReportValue(report, "hdt_received"), 100) << report;
    EXPECT_EQ(ReportValue(report, "hdt_paired"), 100) << report;
    EXPECT_EQ(ReportValue(report, "hdt_invalid"), 0) << report;
    // 0.05 degrees is the sentence's own rounding to a tenth.
    EXPECT_LE(ReportValue(report, "heading_error_deg.max"), 0.06) << report;
    EXPECT_EQ(ReportValue(report, "sentences_abandoned"), 0) << "the window kept reading";
    EXPECT_EQ(oldAfterHeadings, 0);

    // At the end the baseline the fixes give is the one designed (that the
    // heading shown is the one sent is the output failure test's).
    const MainWindowText& t = window.windowText();
    EXPECT_EQ(t.lblBaseline.text, t.lblCalculated.text);
    window.close();
}

}  // namespace
}  // namespace bivane::test

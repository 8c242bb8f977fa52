// Faults and load on real serial ports (pseudo-terminals), the window in
// process: a receiver unplugged and plugged in again, the outputs failing,
// a flood of random bytes. Through all of them the window goes on. (That
// the reading stays bounded in memory shows in tests/engine.)

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QPushButton>
#include <atomic>
#include <cmath>
#include <random>
#include <thread>

#include "runtime/data_logger.h"
#include "tests/support/turning_epochs.h"
#include "tests/support/window_harness.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::ProcessEventsUntil;
using test_support::PseudoTerminal;

// How often and how cheaply a lost receiver is looked for shows in the
// service's replug test; here, that the window does it too.
TEST(Replug, AReceiverComesBackByItselfButAPortTheUserTurnedOffStaysClosed) {
    WindowHarness harness;
    Frm_Bivane& window = harness.startOnLines();
    ASSERT_TRUE(harness.headingsFollow(0, 0));
    // GPS 1 unplugged: the line's far end goes and the device name with it.
    harness.unplug(1);
    ASSERT_TRUE(ProcessEventsUntil([&] { return harness.openPorts() == "- 2 3"; }, 5s));
    // Plugged in again: a new device under the same name.
    auto pluggedIn = std::make_unique<PseudoTerminal>();
    harness.pointLinkAt(1, pluggedIn->devicePath());
    ASSERT_TRUE(ProcessEventsUntil(
        [&] { return harness.label("lblError").ends_with(" : Com port  11 reconnected"); }, 2s))
        << harness.label("lblError");
    harness.gps1 = std::move(pluggedIn);
    EXPECT_TRUE(harness.headingsFollow(2, 3));

    // The heading output's device goes: the next heading finds it lost.
    harness.unplug(3);
    ASSERT_TRUE(harness.sendEpoch(4));
    ASSERT_TRUE(ProcessEventsUntil([&] { return !window.MSComm1(3).isOpen(); }, 5s));
    // The user turns the heading output off; then a device is there again.
    WhenShown<Frm_Setup>([](Frm_Setup& dialog) {
        dialog.chkHeadingOutput()->click();
        dialog.cmdOK()->click();
    });
    window.mnuSetupComm_Click();
    ASSERT_FALSE(harness.state().HeadingOutput);
    PseudoTerminal another;
    harness.pointLinkAt(3, another.devicePath());
    EXPECT_FALSE(ProcessEventsUntil([&] { return window.MSComm1(3).isOpen(); }, 2500ms))
        << "a port the user turned off was opened again";
}

TEST(OutputFailure, TheWindowFollowsTheVesselAndTheErrorLineSaysWhatWasLost) {
    WindowHarness harness;
    Frm_Bivane& window = harness.startOnLines();
    ASSERT_TRUE(harness.headingsFollow(0, 0));
    // The log file is /dev/full: it opens, and every write fails with ENOSPC.
    const std::string folder = LogFolder(harness.programFolder().toStdString() + "/");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    const std::string logFile = folder + LogFileName(harness.clock.now());
    ASSERT_EQ(::symlink("/dev/full", logFile.c_str()), 0) << logFile;
    window.cmdLog()->click();
    ASSERT_EQ(window.cmdLog()->text(), QStringLiteral("Stop Logging"));
    // The output adapter unplugged, and noticed before the next epoch.
    harness.unplug(3);
    ASSERT_TRUE(ProcessEventsUntil([&] { return harness.openPorts() == "1 2 -"; }, 5s));

    for (int n = 10; n <= 40; n += 10) {
        ASSERT_TRUE(harness.sendEpoch(n)) << "epoch " << n << " was not shown";
        // Epoch n's antennas stand n degrees from north.
        const double shown = std::stod(harness.label("lblHeading"));
        EXPECT_LT(std::abs(std::fmod(shown - n + 540.0, 360.0) - 180.0), 0.2) << shown;
        EXPECT_EQ(harness.label("lblUTC", 1), EpochTime(n));
        EXPECT_EQ(harness.label("lblHDT").substr(7, 5), harness.label("lblHeading"));
        const std::string error = harness.label("lblError");
        EXPECT_NE(error.find(": heading not sent"), std::string::npos) << error;
        EXPECT_NE(error.find(": heading not logged"), std::string::npos) << error;
    }
    EXPECT_EQ(harness.prompts.messages.size(), 1u) << "only the logging-started message";
}

TEST(Flood, RandomBytesAtFullSpeedDoNotStallTheWindowAndGoodSentencesGiveHeadings) {
    WindowHarness harness;
    harness.startOnLines();
    ASSERT_TRUE(harness.prompts.messages.empty());
    // GPS 1's bytes hold a line feed every 256 bytes or so, as a receiver at
    // the wrong speed sends; GPS 2's none at all, a line that never ends. Each
    // line's writer, a thread of its own, goes as fast as the window reads.
    const auto flood = [](PseudoTerminal& line, unsigned seed, bool lineFeeds,
                          std::atomic<int>& done) {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> byte(0, 255);
        std::string chunk(16 * 1024, ' ');
        for (int n = 0; n < 128; ++n) {  // 2 MB
            for (char& c : chunk) {
                do {
                    c = static_cast<char>(byte(random));
                } while (!lineFeeds && c == '\n');
            }
            line.send(chunk);
        }
        ++done;
    };
    std::atomic<int> done{0};
    std::thread gps1(flood, std::ref(*harness.gps1), 1u, true, std::ref(done));
    std::thread gps2(flood, std::ref(*harness.gps2), 2u, false, std::ref(done));
    const bool taken = ProcessEventsUntil([&] { return done == 2; }, 60s);
    gps1.join();
    gps2.join();
    ASSERT_TRUE(taken) << "the window stalled";
    EXPECT_EQ(harness.openPorts(), "1 2 3");
    // The flood's last characters may spoil the first sentence after it;
    // from the second on, every epoch gives its heading.
    const auto [first, second] = EpochPair(1);
    harness.gps1->send(first);
    harness.gps2->send(second);
    test_support::ProcessEventsFor(300ms);
    harness.heading->receive(0ms);
    EXPECT_TRUE(harness.headingsFollow(2, 4));
}

}  // namespace
}  // namespace bivane::test

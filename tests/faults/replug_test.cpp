// A receiver unplugged while the window runs and plugged in again under the
// same name (a /dev/serial/by-id/ link): the port closes at once and costs
// nothing while it is gone, the error line names it, and the window opens
// it again by itself once the device is back, without the comm setup.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <fstream>
#include <iostream>

#include "tests/faults/window_on_lines.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::ProcessEventsUntil;
using test_support::PseudoTerminal;

using Replug = WindowOnLines;

int openDescriptors() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).count()) - 2;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

TEST_F(Replug, AnUnpluggedReceiverComesBackByItselfEveryTime) {
    start();
    ASSERT_TRUE(harness.prompts.messages.empty())
        << harness.prompts.texts().join(u'|').toStdString();
    ASSERT_TRUE(headingsFollow(0, 0));
    int descriptors = 0;
    long memory = 0;
    int epoch = 1;
    for (int round = 1; round <= 5; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Unplugged: the line's far end goes and the device name with it.
        gps1->closeMaster();
        pointGps1LinkAt({});
        ASSERT_TRUE(ProcessEventsUntil(
            [&] { return label("lblError").ends_with(" : Com port  11 disconnected"); }, 5s))
            << label("lblError");
        EXPECT_EQ(openPorts(), "- 2 3");
        const auto unpluggedCpu = idleCpu(1500ms);
        EXPECT_LT(unpluggedCpu, 100ms) << "the lost port keeps the window busy";
        EXPECT_TRUE(gps2GoesOnAlone(epoch++));

        // Plugged in again: a new device under the same name.
        auto pluggedIn = std::make_unique<PseudoTerminal>();
        pointGps1LinkAt(pluggedIn->devicePath());
        QElapsedTimer back;
        back.start();
        ASSERT_TRUE(ProcessEventsUntil(
            [&] { return label("lblError").ends_with(" : Com port  11 reconnected"); }, 2s))
            << label("lblError");
        std::cout << "[ figures  ] round " << round << ": back after " << back.elapsed()
                  << " ms, CPU in 1.5 s unplugged " << unpluggedCpu.count() << " us\n";
        EXPECT_EQ(openPorts(), "1 2 3");
        EXPECT_TRUE(harness.prompts.messages.empty()) << "no box asks the user";
        gps1 = std::move(pluggedIn);
        EXPECT_TRUE(headingsFollow(epoch, epoch + 1));
        epoch += 2;
        if (round == 1) {
            descriptors = openDescriptors();
            memory = residentKb();
        }
    }
    EXPECT_EQ(openDescriptors(), descriptors) << "descriptors left behind by a replug";
    EXPECT_LT(residentKb() - memory, 2048) << "memory grows with every replug";
    std::cout << "[ figures  ] descriptors after round 1: " << descriptors
              << ", after round 5: " << openDescriptors() << "; resident memory "
              << residentKb() - memory << " kB more than after round 1\n";
}

TEST_F(Replug, APortTheUserTurnedOffStaysClosed) {
    start();
    ASSERT_TRUE(headingsFollow(0, 0));
    // The heading output's device goes: the next heading finds it lost.
    heading.closeMaster();
    ASSERT_TRUE(sendEpoch(1));
    ASSERT_TRUE(ProcessEventsUntil([&] { return !window().MSComm1(3).isOpen(); }, 5s));
    // The user turns the heading output off; then a device is there again
    // for COM 13.
    ASSERT_TRUE(runCommSetup([&](Frm_Setup& dialog) {
        dialog.chkHeadingOutput()->click();
        dialog.cmdOK()->click();
    }));
    PseudoTerminal another;
    ports.mapForThisRun(13, another.devicePath());
    EXPECT_FALSE(ProcessEventsUntil([&] { return window().MSComm1(3).isOpen(); }, 2500ms))
        << "a port the user turned off was opened again";
}

}  // namespace
}  // namespace bivane::test

// A receiver unplugged while the window runs and plugged in again: the port
// closes at once and costs nothing more, the error line names it, and the
// comm setup's OK takes the new device under the same name once it is there.

#include <gtest/gtest.h>

#include <iostream>

#include "tests/faults/window_on_lines.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::ProcessEventsUntil;
using test_support::PseudoTerminal;

using Replug = WindowOnLines;

TEST_F(Replug, AnUnpluggedReceiverIsNamedAndWorksAgainOncePluggedBackIn) {
    start();
    ASSERT_TRUE(harness.prompts.messages.empty())
        << harness.prompts.texts().join(u'|').toStdString();
    ASSERT_TRUE(headingsFollow(0, 0));

    // Unplugged: the line's far end goes and the device name with it.
    gps1->closeMaster();
    pointGps1LinkAt({});
    ASSERT_TRUE(ProcessEventsUntil(
        [&] { return label("lblError").ends_with(" : Com port  11 disconnected"); }, 5s))
        << label("lblError");
    EXPECT_EQ(openPorts(), "- 2 3");
    const auto unpluggedCpu = idleCpu(1s);
    EXPECT_LT(unpluggedCpu, 100ms) << "the lost port keeps the window busy";
    EXPECT_TRUE(gps2GoesOnAlone(1));

    // OK before the receiver is back says so and leaves the dialog open;
    // OK once it is back opens all three ports again.
    std::unique_ptr<PseudoTerminal> pluggedIn;
    const bool accepted = runCommSetup([&](Frm_Setup& dialog) {
        dialog.cmdOK()->click();
        ASSERT_EQ(harness.prompts.messages.size(), 1u);
        EXPECT_EQ(harness.prompts.messages[0].text,
                  QStringLiteral("Com port  11 not available. Try another !"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(openPorts(), "- - -") << "closed by the OK, not opened again";

        pluggedIn = std::make_unique<PseudoTerminal>();
        pointGps1LinkAt(pluggedIn->devicePath());
        dialog.cmdOK()->click();
    });
    ASSERT_TRUE(accepted);
    EXPECT_EQ(harness.prompts.messages.size(), 1u)
        << harness.prompts.texts().join(u'|').toStdString();
    EXPECT_EQ(openPorts(), "1 2 3");
    gps1 = std::move(pluggedIn);
    EXPECT_TRUE(headingsFollow(2, 4));
    EXPECT_EQ(label("lblGGA", 1) + "\r\n", EpochPair(4).first);
    const auto pluggedInCpu = idleCpu(1s);
    EXPECT_LT(pluggedInCpu, 100ms) << "the old device keeps the window busy";
    std::cout << "[ figures  ] CPU in a second unplugged: " << unpluggedCpu.count()
              << " us, in a second after plugging in again: " << pluggedInCpu.count() << " us\n";
}

}  // namespace
}  // namespace bivane::test

#pragma once

// The main window in process on real serial ports: pseudo-terminals stand in
// for the two receivers and for the device on the heading output, as system
// ports COM 11, 12 and 13. GPS 1 is reached through a link of its own, as a
// USB receiver is through /dev/serial/by-id/, so that a test can unplug it
// and plug another device in under the same name.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "app/frm_setup.h"
#include "tests/app/window_harness.h"
#include "tests/serial_qt/pseudo_terminal.h"
#include "tests/support/turning_epochs.h"

namespace bivane::test {

// The settings file of these tests: ports 11, 12 and 13 at 4800 baud, GPS 2
// five metres ahead of GPS 1, heading output on.
inline constexpr const char* kLinesSettings =
    "11,\"4800,n,8,1\"\r\n12,\"4800,n,8,1\"\r\n13,\"4800,n,8,1\"\r\n0,0\r\n0,5\r\n#TRUE#\r\n";

class WindowOnLines : public ::testing::Test {
  protected:
    WindowOnLines();
    void SetUp() override;

    Frm_Bivane& start();
    Frm_Bivane& window() { return harness.window(); }
    std::string label(const char* name, int index = -1);

    // The link that stands for GPS 1's device (COM 11).
    QString gps1Link() const;
    // Points the link at `device` (a new receiver plugged in); an empty
    // device removes the link (the receiver unplugged).
    void pointGps1LinkAt(const QString& device);

    // Both receivers send epoch `n`; true once the window shows both
    // sentences, that is once it has handled them.
    bool sendEpoch(int n);
    // What the heading output sends within `limit`: up to a line end.
    std::string output(std::chrono::milliseconds limit = std::chrono::seconds(2));
    // Each of the epochs `first` to `last` is shown and its heading, the
    // one the window shows, goes out on the heading output.
    ::testing::AssertionResult headingsFollow(int first, int last);
    // GPS 2's sentence of epoch `n` alone is taken; true once it is shown.
    // Whatever heading it gives is read from the output and left aside.
    bool gps2GoesOnAlone(int n);
    // The window's open ports: "1 2 3", with "-" for a closed one.
    std::string openPorts();
    // CPU time the process uses while the window waits `span` for events.
    static std::chrono::microseconds idleCpu(std::chrono::milliseconds span);

    // Opens the comm setup dialog from the menu and runs `whileOpen` on it as
    // soon as it shows; the dialog is cancelled if it is still open after.
    // True when it closed with OK.
    bool runCommSetup(const std::function<void(Frm_Setup&)>& whileOpen);

    WindowHarness harness;
    ComPortMap ports;
    std::unique_ptr<test_support::PseudoTerminal> gps1;
    test_support::PseudoTerminal gps2;
    test_support::PseudoTerminal heading;

  private:
    QTemporaryDir m_links;
};

}  // namespace bivane::test

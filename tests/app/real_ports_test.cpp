// The window on real serial ports: pseudo-terminals stand in for the two
// receivers and for the device on the heading output.

#include <gtest/gtest.h>

#include <iostream>

#include "tests/app/window_harness.h"
#include "tests/serial_qt/pseudo_terminal.h"
#include "tests/support/gga_lines.h"

namespace bivane {
namespace {

using namespace std::chrono_literals;
using test::WindowHarness;
using test_support::ProcessCpuTime;
using test_support::ProcessEventsFor;
using test_support::ProcessEventsUntil;
using test_support::PseudoTerminal;

constexpr const char* kSettings =
    "11,\"4800,n,8,1\"\r\n12,\"4800,n,8,1\"\r\n13,\"4800,n,8,1\"\r\n0,0\r\n0,5\r\n#TRUE#\r\n";

class RealPorts : public ::testing::Test {
  protected:
    void SetUp() override {
        m_ports.mapForThisRun(11, m_gps1.devicePath());
        m_ports.mapForThisRun(12, m_gps2.devicePath());
        m_ports.mapForThisRun(13, m_output.devicePath());
        harness.writeFile(QStringLiteral("Bivane.ini"), kSettings);
    }

    Frm_Bivane& start() { return harness.start(QtPortFactory(m_ports)); }

    std::string label(const char* name, int index = -1) {
        return harness.window().label(name, index)->text().toStdString();
    }

    // Both receivers send their fix of 12:35:`second`; true when GPS 2's
    // has been shown.
    bool sendPair(int second) {
        const auto [gps1, gps2] = WindowHarness::FixPair(second);
        m_gps1.send(gps1);
        m_gps2.send(gps2);
        const std::string time =
            "12:35:" + std::string(second < 10 ? "0" : "") + std::to_string(second) + ".00";
        return ProcessEventsUntil(
            [&] { return label("lblUTC", 1) == time && label("lblUTC", 2) == time; }, 5s);
    }

    // What the heading output has sent by now.
    std::string output() {
        std::string sent;
        ProcessEventsUntil(
            [&] {
                sent += m_output.receive(0ms);
                return !sent.empty() && sent.back() == '\n';
            },
            2s);
        return sent;
    }

    WindowHarness harness;
    ComPortMap m_ports;
    PseudoTerminal m_gps1;
    PseudoTerminal m_gps2;
    PseudoTerminal m_output;
};

TEST_F(RealPorts, HeadingSentencesGoToPort3AndToTheLogAndTheSettingsAreKept) {
    Frm_Bivane& window = start();
    EXPECT_TRUE(harness.prompts.messages.empty())
        << harness.prompts.texts().join(u'|').toStdString();
    for (int index = 1; index <= 3; ++index) {
        EXPECT_TRUE(window.MSComm1(index).isOpen()) << "port " << index;
    }
    window.cmdLog_Click();

    std::string sent;
    for (int second = 1; second <= 4; ++second) {
        ASSERT_TRUE(sendPair(second)) << "second " << second;
        const std::string sentence = output();
        EXPECT_EQ(sentence, label("lblHDT") + "\r\n");
        sent += sentence;
    }
    EXPECT_EQ(label("lblHDT"), "$GPHDT,026.7,T*36");
    EXPECT_EQ(label("lblHeading"), "026.7");
    EXPECT_EQ(label("lblBaseline"), "4.98 m");
    EXPECT_EQ(label("lblC_O"), "0.02 m");
    EXPECT_EQ(label("lblCalculated"), "5.00 m");
    EXPECT_EQ(label("lblGGA", 1) + "\r\n", WindowHarness::FixPair(4).first);

    const QString logFile = harness.programFolder() + QStringLiteral("/log/") +
                            QString::fromStdString(harness.state().LogFileName);
    EXPECT_EQ(test::ReadWholeFile(logFile), sent);
    window.close();
    EXPECT_EQ(harness.readFile(QStringLiteral("Bivane.ini")), kSettings);
    EXPECT_EQ(test::UserSetting(QStringLiteral("Settings/MainLeft")), QStringLiteral("1000"));
}

TEST_F(RealPorts, APortWithoutADeviceIsReportedAndTheOthersOpen) {
    m_ports.mapForThisRun(11, QStringLiteral("/dev/no-such-bivane-receiver"));
    Frm_Bivane& window = start();
    ASSERT_EQ(harness.prompts.messages.size(), 1u);
    EXPECT_EQ(harness.prompts.messages[0].text,
              QStringLiteral("Com port  11 not available. Try another !"));
    EXPECT_FALSE(window.MSComm1(1).isOpen());
    EXPECT_TRUE(window.MSComm1(2).isOpen());
    EXPECT_TRUE(window.MSComm1(3).isOpen());
}

TEST_F(RealPorts, AnUnpluggedReceiverIsClosedNamedAndCostsNoTimeAfterwards) {
    Frm_Bivane& window = start();
    ASSERT_TRUE(sendPair(1));
    m_gps1.closeMaster();
    ASSERT_TRUE(ProcessEventsUntil(
        [&] { return label("lblError").ends_with(" : Com port  11 disconnected"); }, 5s))
        << label("lblError");
    EXPECT_FALSE(window.MSComm1(1).isOpen());

    const auto cpuBefore = ProcessCpuTime();
    ProcessEventsFor(1s);
    const auto cpu = ProcessCpuTime() - cpuBefore;
    std::cout << "[ figures  ] CPU in the second after the loss: " << cpu.count() << " us\n";
    EXPECT_LT(cpu, 100ms);

    // GPS 2 and the output go on.
    const std::string gps2 = WindowHarness::FixPair(2).second;
    m_gps2.send(gps2);
    EXPECT_TRUE(ProcessEventsUntil([&] { return label("lblGGA", 2) + "\r\n" == gps2; }, 5s));
    EXPECT_TRUE(window.MSComm1(2).isOpen());
    EXPECT_TRUE(window.MSComm1(3).isOpen());
}

TEST_F(RealPorts, TheDecoderBoxStandsWhileHeadingsGoOut) {
    Frm_Bivane& window = start();
    window.show();
    test::GgaFields bad;
    bad.time = "123501.00";
    bad.satellites = 70000;
    m_gps2.send(WindowHarness::FixPair(1).second);
    m_gps1.send(test::GgaLine(bad));
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.decoderMessages().shownBox(); }, 5s));
    EXPECT_FALSE(output().empty()) << "the cycle of the failing sentence";
    for (int second = 2; second <= 4; ++second) {
        ASSERT_TRUE(sendPair(second));
        EXPECT_EQ(output(), label("lblHDT") + "\r\n") << "second " << second;
        EXPECT_NE(window.decoderMessages().shownBox(), nullptr);
    }
}

}  // namespace
}  // namespace bivane

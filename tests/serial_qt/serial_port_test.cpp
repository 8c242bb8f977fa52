// The serial ports: the COM number map, the settings texts, and the Qt port on
// pseudo-terminals.

#include <gtest/gtest.h>

#include <sys/file.h>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

#include "reception/line_error_counters.h"
#include "reception/port_settings.h"
#include "runtime/threaded_input.h"
#include "serial/com_port_map.h"
#include "serial/qt_serial_port.h"
#include "serial/user_settings.h"
#include "tests/serial_qt/line_settings.h"
#include "tests/serial_qt/pseudo_terminal.h"

namespace bivane {
namespace {

TEST(ComPortMap, RunMappingOverStoreOverSystemDefault) {
    const auto store = OpenUserSettings();
    store->remove(QStringLiteral("Ports"));
    store->setValue(QStringLiteral("Ports/COM2"), QStringLiteral("/dev/ttyUSB0"));
    store->setValue(QStringLiteral("Ports/COM5"), QStringLiteral("/dev/ttyACM0"));
    store->sync();
    ComPortMap ports;
    ports.mapForThisRun(5, QStringLiteral("/dev/pts/7"));
    ports.mapForThisRun(9, QStringLiteral("/dev/pts/8"));
    ports.mapForThisRun(9, QStringLiteral("/dev/pts/9"));
    struct Row {
        int number;
        const char* device;
        const char* legend;
    };
    const Row rows[] = {
        {1, "/dev/ttyS0", "nothing mapped: the system's first port"},
        {2, "/dev/ttyUSB0", "stored only"},
        {5, "/dev/pts/7", "run mapping wins over the store"},
        {9, "/dev/pts/9", "the later run mapping wins"},
        {16, "/dev/ttyS15", "the last entry of the setup list"},
        {-3, "", "no system port (port 0 is the serial port test's)"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ports.deviceFor(row.number).toStdString(), row.device) << row.legend;
    }
    // The run mapping is never written to the store.
    EXPECT_EQ(OpenUserSettings()->value(QStringLiteral("Ports/COM9")), QVariant());
    // A store change is seen at the next look-up (the ports look up at open).
    store->remove(QStringLiteral("Ports"));
    store->sync();
    EXPECT_EQ(ports.deviceFor(2), QStringLiteral("/dev/ttyS1"));
}

TEST(ParsePortSettings, ReadsEveryListEntryAndHandWrittenVariantsAndRefusesWithTheReason) {
    const std::string shape =
        "expected speed, parity, data bits and stop bits separated by commas, as in "
        "\"4800,n,8,1\"";
    struct Row {
        const char* text;
        std::optional<PortSettings> expected;
        std::string failure;
    };
    const Row rows[] = {
        {"921600,n,8,1", PortSettings{921600, PortParity::None, 8, PortStopBits::One}, ""},
        {"9600,E,7,2", PortSettings{9600, PortParity::Even, 7, PortStopBits::Two}, ""},
        {"19200,o,8,1", PortSettings{19200, PortParity::Odd, 8, PortStopBits::One}, ""},
        {"300,M,6,1", PortSettings{300, PortParity::Mark, 6, PortStopBits::One}, ""},
        {"110,s,5,1.5", PortSettings{110, PortParity::Space, 5, PortStopBits::OneAndHalf}, ""},
        {" 4800 , n , 8 , 1 ", PortSettings{4800, PortParity::None, 8, PortStopBits::One}, ""},
        {"2147483647,n,8,1", PortSettings{2147483647, PortParity::None, 8, PortStopBits::One}, ""},
        {"", std::nullopt, shape},
        {"4800,n,8,1,", std::nullopt, shape},
        {"4800,x,8,1", std::nullopt, "the parity \"x\" is not one of n, e, o, m, s"},
        {"4800,no,8,1", std::nullopt, "the parity \"no\" is not one of n, e, o, m, s"},
        {"4800,n,9,1", std::nullopt, "the data bits \"9\" are not 5, 6, 7 or 8"},
        {"4800,n,8.0,1", std::nullopt, "the data bits \"8.0\" are not 5, 6, 7 or 8"},
        {"4800,n,8,3", std::nullopt, "the stop bits \"3\" are not 1, 1.5 or 2"},
        {"4800,n,8,1.0", std::nullopt, "the stop bits \"1.0\" are not 1, 1.5 or 2"},
        {"0,n,8,1", std::nullopt, "the speed \"0\" is not a positive whole number"},
        {"4800.5,n,8,1", std::nullopt, "the speed \"4800.5\" is not a positive whole number"},
        {"2147483648,n,8,1", std::nullopt,
         "the speed \"2147483648\" is not a positive whole number"},
        {"99999999999999999999,n,8,1", std::nullopt,
         "the speed \"99999999999999999999\" is not a positive whole number"},
    };
    for (const Row& row : rows) {
        const PortSettingsReading reading = ParsePortSettings(row.text);
        EXPECT_EQ(reading.settings, row.expected) << '"' << row.text << '"';
        EXPECT_EQ(reading.failure, row.failure) << '"' << row.text << '"';
    }
}

using namespace std::chrono_literals;
using test_support::ProcessEventsFor;
using test_support::ProcessEventsUntil;

const std::string kHdt = "$GPHDT,123.4,T*31\r\n";

class QtSerialPortTest : public ::testing::Test {
  protected:
    void SetUp() override { ports.mapForThisRun(7, line.devicePath()); }

    // A port of the window whose number is 7, the pseudo-terminal's slave.
    std::unique_ptr<QtSerialPort> portOnTheLine(int index = 1) {
        auto port = std::make_unique<QtSerialPort>(index, ports);
        port->setPortNumber(7);
        return port;
    }

    std::string where() const { return "Com port  7 (" + line.devicePath().toStdString() + "): "; }

    test_support::PseudoTerminal line;
    ComPortMap ports;
};

TEST_F(QtSerialPortTest, OpensWithTheSettingsTextAppliedToTheLine) {
    struct Row {
        const char* text;
        const char* held;  // speed and stop bits as the driver then holds them
    };
    const Row rows[] = {
        {"921600,n,8,1", "921600,1"},
        {"9600,E,7,2", "9600,2"},
        // Two stop bits, which a UART sends as one and a half with five data
        // bits.
        {"110,n,5,1.5", "110,2"},
        {"31250,n,8,1", "31250,1"},
    };
    auto port = portOnTheLine();
    for (const Row& row : rows) {
        port->setSettings(row.text);
        ASSERT_TRUE(port->open().ok()) << row.text;
        EXPECT_EQ(test_support::HeldSpeedAndStopBits(line.slaveDescriptor()), row.held) << row.text;
        port->close();
    }
}

// Each refusal names the port and its device, then the cause; the reasons a
// settings text cannot be read are the settings reader's own test.
TEST_F(QtSerialPortTest, RefusedOpensNameTheDeviceAndTheCause) {
    struct Row {
        int number;
        QString device;
        const char* settings;
        std::string reason;  // the whole text, or its start for /dev/null
    };
    const Row rows[] = {
        {7, QStringLiteral("/nonexistent/ttyBivane"), "4800,n,8,1",
         "Com port  7 (/nonexistent/ttyBivane): the device does not exist"},
        {7, QStringLiteral("/dev/null"), "4800,n,8,1",
         "Com port  7 (/dev/null): the device is not a serial port or refuses the settings "
         "\"4800,n,8,1\" ("},
        {7, line.devicePath(), "4800,n,8,1.5",
         where() + "the settings \"4800,n,8,1.5\" cannot be used: 1.5 stop bits are possible "
                   "only with 5 data bits"},
        {0, {}, "4800,n,8,1", "Com port  0 names no system serial port"},
    };
    for (const Row& row : rows) {
        ComPortMap map;
        map.mapForThisRun(row.number, row.device);
        QtSerialPort port(1, map);
        port.setPortNumber(static_cast<std::int16_t>(row.number));
        port.setSettings(row.settings);
        const IoResult refusal = port.open();
        ASSERT_FALSE(refusal.ok()) << row.reason;
        EXPECT_EQ(refusal.failure().substr(0, row.device == QStringLiteral("/dev/null")
                                                  ? row.reason.size()
                                                  : std::string::npos),
                  row.reason);
        EXPECT_FALSE(port.isOpen()) << row.reason;
    }
}

TEST_F(QtSerialPortTest, ADeviceOpenElsewhereIsRefusedUntilItIsGivenBack) {
    auto first = portOnTheLine(1);
    auto second = portOnTheLine(2);
    ASSERT_TRUE(first->open().ok());
    EXPECT_EQ(second->open().failure(), where() + "the device is in use by another program");
    EXPECT_FALSE(second->isOpen());
    first->close();
    EXPECT_TRUE(second->open().ok());
    second->close();

    // Another program that takes the device with an advisory lock.
    ASSERT_EQ(::flock(line.slaveDescriptor(), LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(first->open().failure(), where() + "the device is in use by another program");
    EXPECT_FALSE(first->isOpen());
    ASSERT_EQ(::flock(line.slaveDescriptor(), LOCK_UN), 0);
    EXPECT_TRUE(first->open().ok());
}

// Read by Qt, or on the input thread through a descriptor of the port's own.
TEST_F(QtSerialPortTest, ArrivingCharactersRaiseReceiveEventsAndAreAllRead) {
    for (const bool onThread : {false, true}) {
        SCOPED_TRACE(onThread ? "on the input thread" : "read by Qt");
        const auto input = onThread ? ThreadedInput::start() : nullptr;
        auto port = portOnTheLine();
        if (input) {
            port->readOnThread(input->thread());
        }
        std::string received;
        int events = 0;
        const auto testThread = std::this_thread::get_id();
        port->setEventHandler([&] {
            ++events;
            EXPECT_EQ(std::this_thread::get_id() != testThread, onThread);
            ASSERT_EQ(port->eventCode(), kEventReceive)
                << "a pseudo-terminal has no line conditions";
            const std::string text = port->readInput();
            EXPECT_FALSE(text.empty()) << "an event that finds nothing";
            received += text;
        });
        ASSERT_TRUE(port->open().ok());

        // Characters on the line before their event: the port says they wait.
        line.send("$");
        const auto sent = std::chrono::steady_clock::now();
        while (!port->inputWaiting() && std::chrono::steady_clock::now() - sent < 2s) {
            std::this_thread::sleep_for(1ms);
        }
        EXPECT_TRUE(port->inputWaiting());
        ASSERT_TRUE(ProcessEventsUntil([&] { return events > 0; }, 2s));
        EXPECT_EQ(received, "$");
        EXPECT_FALSE(port->inputWaiting()) << "handed over";

        // More than one read takes: every character once, in order.
        std::string burst;
        for (int i = 0; i < 120; ++i) {
            burst += "$GPGGA,123519." + std::to_string(i) +
                     ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
        }
        line.send(burst);
        ASSERT_TRUE(ProcessEventsUntil([&] { return received.size() > burst.size(); }, 5s));
        EXPECT_EQ(received, "$" + burst);
        std::cout << "[ figures  ] " << received.size() << " characters arrived in " << events
                  << " receive events\n";
    }
}

TEST_F(QtSerialPortTest, WrittenTextReachesTheLineWithinTheCall) {
    auto port = portOnTheLine(3);
    ASSERT_TRUE(port->open().ok());
    std::vector<std::chrono::nanoseconds> delays;
    for (int i = 0; i < 200; ++i) {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(port->writeOutput(kHdt).ok());
        // No event loop has run: the sentence is there only if the call
        // handed it to the device.
        const std::string received = line.receive(0ms);
        delays.push_back(std::chrono::steady_clock::now() - start);
        ASSERT_EQ(received, kHdt) << "sentence " << i;
    }
    std::sort(delays.begin(), delays.end());
    std::cout << "[ figures  ] write to read on the line: median " << delays[100].count()
              << " ns, slowest " << delays.back().count() << " ns\n";
    EXPECT_LT(delays[100], 1ms);
}

// Written on the port's own thread, or by a port event on the input thread,
// whose rest the port hands over to its own.
TEST_F(QtSerialPortTest, OutputIsRefusedRatherThanQueuedWithoutEnd) {
    for (const bool fromInputThread : {false, true}) {
        SCOPED_TRACE(fromInputThread ? "from another thread" : "from the port's thread");
        test_support::PseudoTerminal output;
        ports.mapForThisRun(9, output.devicePath());
        auto port = portOnTheLine(3);
        port->setPortNumber(9);
        ASSERT_TRUE(port->open().ok());
        IoResult refusal;
        std::size_t accepted = 0;
        const auto fill = [&] {
            while (refusal.ok() && accepted < 100000) {
                refusal = port->writeOutput(kHdt);
                if (refusal.ok()) {
                    ++accepted;
                }
            }
        };
        if (fromInputThread) {
            std::thread(fill).join();
        } else {
            fill();
        }
        ASSERT_FALSE(refusal.ok()) << "nobody reads, yet " << accepted << " sentences queued";
        const std::string text = refusal.failure();
        const long waiting = std::stol(text.substr(text.find(": ") + 2));  // throws if none
        EXPECT_EQ(text, "Com port  9 output blocked: " + std::to_string(waiting) +
                            " bytes still waiting to be sent");
        EXPECT_GT(waiting, kMaxWaitingOutput);
        EXPECT_LE(waiting, kMaxWaitingOutput + static_cast<long>(kHdt.size()));
        EXPECT_TRUE(port->isOpen()) << "a full line is not a lost port";
        EXPECT_EQ(port->writeOutput(kHdt), refusal) << "still nobody reads";

        // The reader comes back: every accepted sentence arrives, whole and once.
        std::string received;
        ASSERT_TRUE(ProcessEventsUntil(
            [&] {
                received += output.receive(0ms);
                return received.size() >= accepted * kHdt.size();
            },
            5s));
        std::string expected;
        for (std::size_t i = 0; i < accepted; ++i) {
            expected += kHdt;
        }
        EXPECT_TRUE(received == expected)
            << received.size() << " of " << expected.size() << " bytes";
        EXPECT_TRUE(port->writeOutput(kHdt).ok());
        std::cout << "[ figures  ] " << accepted << " sentences accepted before the refusal\n";
    }
}

// The device goes away, as an unplugged USB adapter does: an input port finds
// it while it waits for characters, a heading output when it writes. Either
// closes once, says so once with its index, and nothing spins after.
TEST_F(QtSerialPortTest, ALostPortIsClosedAndReportedOnceAndNothingSpins) {
    for (const int way : {0, 1, 2}) {
        const bool output = way == 2;
        SCOPED_TRACE(output ? "output" : way == 1 ? "input on the input thread" : "input");
        const auto input = way == 1 ? ThreadedInput::start() : nullptr;
        test_support::PseudoTerminal device;
        ports.mapForThisRun(8, device.devicePath());
        QtSerialPort port(output ? 3 : 2, ports);
        if (input) {
            port.readOnThread(input->thread());
        }
        port.setPortNumber(8);
        std::vector<int> lost;
        QObject::connect(&port, &QtSerialPort::portLost, [&](int index) { lost.push_back(index); });
        port.setEventHandler([&] { port.readInput(); });
        ASSERT_TRUE(port.open().ok());
        ProcessEventsFor(10ms);
        device.closeMaster();
        if (output) {
            EXPECT_EQ(port.writeOutput(kHdt).failure(), "Com port  8 was lost while sending");
            EXPECT_FALSE(port.isOpen());
        }
        ASSERT_TRUE(ProcessEventsUntil([&] { return !lost.empty(); }, 2s));
        EXPECT_FALSE(port.isOpen());
        const std::clock_t cpuBefore = std::clock();
        ProcessEventsFor(1s);
        const double cpuMs =
            1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
        std::cout << "[ figures  ] CPU in the second after the loss: " << cpuMs << " ms\n";
        EXPECT_LT(cpuMs, 100);
        EXPECT_EQ(lost, std::vector<int>{port.index()});
        EXPECT_EQ(port.writeOutput(kHdt).failure(), "Com port  8 is not open");
        EXPECT_FALSE(port.open().ok()) << "the device is gone";
    }
}

TEST(LineErrorCounters, EachChangedCounterRaisesItsCondition) {
    struct Row {
        const char* legend;
        LineErrorCounts before;
        LineErrorCounts after;
        std::vector<int> codes;
    };
    const Row rows[] = {
        {"one framing error", {0, 3, 0, 0, 0}, {0, 4, 0, 0, 0}, {kEventFrame}},
        {"a break and an overrun", {0, 0, 0, 0, 0}, {2, 0, 1, 0, 0}, {kEventBreak, kEventOverrun}},
        {"all five, in order",
         {0, 0, 0, 0, 0},
         {1, 1, 1, 1, 1},
         {kEventBreak, kEventFrame, kEventOverrun, kEventRxOver, kEventParity}},
        {"a parity counter that wrapped",
         {0, 0, 0, 0, 2147483647},
         {0, 0, 0, 0, -2147483647 - 1},
         {kEventParity}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ChangedLineConditions(row.before, row.after), row.codes) << row.legend;
    }
}

}  // namespace
}  // namespace bivane

#include "runtime/command_line.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

// The program folder, the logging, the recording, the screenshot and the
// labels are read in the service and program tests, which use them.
TEST(CommandLine, ReadsTheNetworkOutputsTheRecordingSizeAndTheLastPortMappingRefusesTheRest) {
    ComPortMap ports;
    const CommandLine line = ParseCommandLine(
        {QStringLiteral("nmea-bivane"), QStringLiteral("--com"), QStringLiteral("1=/dev/ttyUSB0"),
         QStringLiteral("--com=1=/dev/ttyUSB1"), QStringLiteral("--tcp"), QStringLiteral("10110"),
         QStringLiteral("--udp"), QStringLiteral("[::1]:65535"), QStringLiteral("--record-max=5")},
        ports);
    EXPECT_TRUE(line.error.isEmpty()) << line.error.toStdString();
    EXPECT_EQ(line.tcp, (NetworkEndpoint{QString(), 10110})) << "every address";
    EXPECT_EQ(line.udp, (NetworkEndpoint{QStringLiteral("::1"), 65535}));
    EXPECT_EQ(line.recordMaxMb, 5);
    EXPECT_EQ(ports.deviceFor(1), QStringLiteral("/dev/ttyUSB1")) << "the last mapping counts";

    const char* const rows[][3] = {
        {"--com", "0=/dev/ttyS0", "--com 0=/dev/ttyS0"},
        {"--com", "3", "--com 3"},
        {"--tcp", "127.0.0.1:0", "--tcp 127.0.0.1:0"},
        {"--udp", "10110", "--udp 10110: expected ADDRESS:PORT"},
        {"--udp", "boat.local:2000", "--udp boat.local:2000"},
        {"--tcp", "::1:2000", "--tcp ::1:2000"},
        {"--speed", "4800", "'speed'"},
        {"--program-folder", nullptr, "program-folder"},
        {"--record-max", "-1", "--record-max -1"},
        {"--log", nullptr, "'log'"},
    };
    for (const auto& row : rows) {
        QStringList arguments{QStringLiteral("nmea-bivane"), QLatin1String(row[0])};
        if (row[1] != nullptr) {
            arguments << QLatin1String(row[1]);
        }
        const QString error = ParseCommandLine(arguments, ports).error;
        EXPECT_TRUE(error.contains(QLatin1String(row[2]))) << error.toStdString();
    }
    EXPECT_TRUE(
        ParseCommandLine({QStringLiteral("nmea-bivane"), QStringLiteral("--help")}, ports).help);
    // The service logs on request and has no window to picture.
    const CommandLine service = ParseCommandLine(
        {QStringLiteral("nmea-bivaned"), QStringLiteral("--log")}, ports, Program::Service);
    EXPECT_TRUE(service.error.isEmpty() && service.log) << service.error.toStdString();
}

}  // namespace
}  // namespace bivane

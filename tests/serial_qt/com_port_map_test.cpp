#include "serial/com_port_map.h"

#include <gtest/gtest.h>

#include "serial/user_settings.h"

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

}  // namespace
}  // namespace bivane

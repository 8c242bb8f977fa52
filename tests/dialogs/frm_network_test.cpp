#include "app/frm_network.h"

#include <gtest/gtest.h>

#include "tests/dialogs/dialog_test_support.h"

namespace bivane {
namespace {

TEST(Frm_Network, TakesIpAddressesAndPortsAndRefusesWhatCannotBe) {
    const NetworkSettings current{false, {}, true, {QStringLiteral("192.168.1.255"), 10110}};
    struct Row {
        const char* legend;
        const char* tcpAddress;
        const char* tcpPort;
        const char* udpAddress;
        bool accepted;
        NetworkSettings result;
    } const rows[] = {
        {"unchanged, the server off", "", "10110", "192.168.1.255", true, current},
        {"an IPv6 server address", "::1", "2000", "192.168.1.255", true,
         {true, {QStringLiteral("::1"), 2000}, true, current.udp}},
        {"a port beyond 65535", "", "70000", "192.168.1.255", false, current},
        {"datagrams to nowhere", "", "10110", "", false, current},
        {"a host name", "", "10110", "boat.local", false, current},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        test::RecordingPrompts prompts;
        auto dialog = test::ShowDialog<Frm_Network>(nullptr, current, prompts,
                                                    [] { return QStringLiteral("TCP: off"); });
        EXPECT_EQ(test::LayoutFaults(*dialog), QStringList());
        EXPECT_EQ(dialog->lblStatus()->text(), QStringLiteral("TCP: off"));
        dialog->chkTcp()->setChecked(row.result.tcpOn);
        dialog->txtTcpAddress()->setText(QLatin1String(row.tcpAddress));
        dialog->txtTcpPort()->setText(QLatin1String(row.tcpPort));
        dialog->txtUdpAddress()->setText(QLatin1String(row.udpAddress));
        test::ExpectOkOutcome(*dialog, prompts, row.accepted, row.result);
    }
}

}  // namespace
}  // namespace bivane

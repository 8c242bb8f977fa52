// The listener as a client of a TCP server and as a receiver of datagrams,
// against a server and a sender inside the test, on the loopback address.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>

#include "tools/sim/hdt_listener.h"

namespace bivane::sim {
namespace {

using std::chrono::milliseconds;

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

const sockaddr* asAddress(const sockaddr_in& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

// A ledger whose only epoch, heading 90 degrees and turning to port at 180
// degrees a minute, is complete: every sentence from now on is scored
// against it.
void oneEpochDone(EpochLedger& ledger) {
    ledger.addEpoch(0, {90, -180}, GgaKey{0, 0}, GgaKey{0, 1}, false, false);
    ledger.expectAnswer(0, {90, -180}, GgaKey{0, 1}, GgaKey{0, 0});
    ledger.lastByteWriting(GgaKey{0, 1}, SteadyClock::now());
}

void send(int fd, const std::string& text) {
    ASSERT_EQ(::send(fd, text.data(), text.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(text.size()));
}

template <typename Condition>
bool within(milliseconds limit, Condition condition) {
    const auto deadline = SteadyClock::now() + limit;
    while (!condition() && SteadyClock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(5));
    }
    return condition();
}

void expectSorted(std::vector<double> values, std::vector<double> expected) {
    std::sort(values.begin(), values.end());
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_NEAR(values[i], expected[i], 1e-9) << i;
    }
}

TEST(NetworkListener, ConnectsOnceTheServerIsUpAndAgainAfterItCloses) {
    // The port is the test's from the start, but nothing listens yet: the
    // listener's first tries are refused.
    const int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    ASSERT_EQ(bind(server, asAddress(address), sizeof address), 0);
    ASSERT_EQ(getsockname(server, reinterpret_cast<sockaddr*>(&address), &size), 0);

    EpochLedger ledger({.hdt = true, .rot = true});
    oneEpochDone(ledger);
    HdtListener listener(TcpEndpoint{"127.0.0.1", ntohs(address.sin_port)}, ledger);
    listener.start();
    std::this_thread::sleep_for(milliseconds(150));
    EXPECT_FALSE(listener.connected());

    ASSERT_EQ(listen(server, 1), 0);
    int client = accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
    ASSERT_GE(client, 0);
    ASSERT_TRUE(within(milliseconds(2000), [&] { return listener.connected(); }));
    send(client, "$GPHDT,09");  // a sentence in two pieces
    std::this_thread::sleep_for(milliseconds(20));
    send(client, "0.1,T*3D\r\n$GPROT,-179.0,A*13\r\nnoise\r\n$GPHDT,08");
    close(client);  // mid-sentence

    client = accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
    ASSERT_GE(client, 0);
    send(client, "$GPHDT,089.8,T*3C\r\n");
    close(client);
    close(server);
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_FALSE(listener.connected()) << "the server has gone";
    listener.stop();

    const ListenerResults& heard = listener.results();
    EXPECT_EQ(heard.received, 5);
    EXPECT_EQ(heard.invalid, 2) << "the noise and the cut-off sentence";
    EXPECT_EQ(heard.rotValid, 1);
    EXPECT_EQ(heard.mispaired, 1) << "the second HDT of the one epoch";
    expectSorted(heard.headingErrors, {0.1, 0.2});
    expectSorted(heard.rateErrors, {1.0});
    EXPECT_EQ(heard.latenciesMs.size(), 3u);
}

TEST(NetworkListener, TakesEachDatagramAsWholeLines) {
    EpochLedger ledger({.hdt = true, .ths = true, .rot = true});
    oneEpochDone(ledger);
    HdtListener listener(UdpPort{0}, ledger);
    ASSERT_GT(listener.udpPort(), 0);
    listener.start();
    const int sender = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(listener.udpPort());
    for (const std::string datagram :
         {"$GPHDT,090.1,T*3D\r\n", "$GPTHS,090.0,A*3E\r\n$GPROT,,V*08\r\n",
          "$GPROT,-180.5,A*10\r\n", "$GPHDT,090.1,T*3D"}) {
        ASSERT_EQ(sendto(sender, datagram.data(), datagram.size(), 0, asAddress(address),
                         sizeof address),
                  static_cast<ssize_t>(datagram.size()));
    }
    close(sender);
    std::this_thread::sleep_for(milliseconds(100));
    listener.stop();

    const ListenerResults& heard = listener.results();
    EXPECT_EQ(heard.received, 5);
    EXPECT_EQ(heard.invalid, 1) << "the datagram's end cuts its line";
    EXPECT_EQ(heard.thsValid, 1);
    EXPECT_EQ(heard.rotValid, 1);
    EXPECT_EQ(heard.rotInvalid, 1);
    EXPECT_EQ(heard.mispaired, 1) << "the ROT after the one with no rate";
    expectSorted(heard.headingErrors, {0.0, 0.1});
    expectSorted(heard.rateErrors, {0.5});
}

}  // namespace
}  // namespace bivane::sim

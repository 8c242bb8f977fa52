#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QUdpSocket>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/tcp_sentence_server.h"
#include "runtime/udp_sentence_sender.h"
#include "tests/serial_qt/pseudo_terminal.h"

namespace bivane {
namespace {

const QString kLoopback = QStringLiteral("127.0.0.1");

// Runs the event loop until `done` or 5 s have passed.
bool waitFor(const std::function<bool()>& done) {
    return test_support::ProcessEventsUntil(done, std::chrono::seconds(5));
}

// A client that reads everything it is sent.
struct Reader {
    QTcpSocket socket;
    std::string received;
    explicit Reader(quint16 port) {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket,
                         [this] { received += socket.readAll().toStdString(); });
        socket.connectToHost(kLoopback, port);
    }
};

class TcpServerTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.listen({kLoopback, 0}).ok()); }
    // `count` reading clients, connected once the server has them all.
    std::vector<std::unique_ptr<Reader>> connect(int count) {
        std::vector<std::unique_ptr<Reader>> readers;
        for (int index = 0; index < count; ++index) {
            readers.push_back(std::make_unique<Reader>(server.port()));
        }
        const int expected = server.clientCount() + count;
        EXPECT_TRUE(waitFor([&] { return server.clientCount() == expected; }));
        return readers;
    }

    TcpSentenceServer server;
};

TEST_F(TcpServerTest, AClientThatNeverReadsIsDroppedOnceAndDelaysNoOne) {
    auto readers = connect(3);
    QTcpSocket silent;  // connected, never read
    silent.setReadBufferSize(1);
    silent.connectToHost(kLoopback, server.port());
    ASSERT_TRUE(waitFor([&] { return server.clientCount() == 4; }));
    ASSERT_TRUE(waitFor([&] { return silent.state() == QAbstractSocket::ConnectedState; }));

    const std::string line = "$GPHDT,123.4,T*31\r\n" + std::string(1000, 'x') + "\r\n";
    std::vector<std::string> failures;
    qint64 mostQueued = 0;
    auto slowestWrite = std::chrono::nanoseconds::zero();
    std::size_t written = 0;
    // Far more than the system's buffers for one connection hold.
    for (int round = 0; round < 40'000 && server.clientCount() == 4; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const IoResult result = server.write(line);
        slowestWrite = std::max(slowestWrite, std::chrono::steady_clock::now() - start);
        written += line.size();
        if (!result.ok()) {
            failures.push_back(result.failure());
        }
        mostQueued = std::max(mostQueued, server.queuedBytes());
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(server.clientCount(), 3) << "the silent client is dropped";
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_TRUE(failures[0].starts_with("TCP client 127.0.0.1:")) << failures[0];
    EXPECT_TRUE(failures[0].ends_with(" stopped reading and was dropped")) << failures[0];
    // Those who read have nothing waiting once the system took it.
    EXPECT_LE(mostQueued, TcpSentenceServer::kClientQueueLimit) << "memory stays bounded";
    EXPECT_LT(slowestWrite, std::chrono::milliseconds(250)) << "no write waits for a client";

    // A client that connects now gets nothing from before; what a client
    // sends is read and ignored.
    auto late = connect(1);
    readers[0]->socket.write("$PXYZ,hello\r\n");
    for (int round = 0; round < 100; ++round) {
        ASSERT_TRUE(server.write(line).ok());
        written += line.size();
    }
    ASSERT_TRUE(waitFor([&] {
        return late[0]->received.size() >= 100 * line.size() &&
               std::all_of(readers.begin(), readers.end(),
                           [&](const auto& reader) { return reader->received.size() >= written; });
    }));
    for (const auto& reader : readers) {
        EXPECT_EQ(reader->received.size(), written) << "the others got every sentence";
    }
    EXPECT_EQ(late[0]->received.size(), 100 * line.size());
    EXPECT_EQ(server.queuedBytes(), 0);
    EXPECT_EQ(
        server.statusText(),
        QStringLiteral("TCP: serving at 127.0.0.1:%1, 4 client(s) connected").arg(server.port()));
}

TEST(UdpSender, OneDatagramPerSentenceCounted) {
    QUdpSocket listener;
    ASSERT_TRUE(listener.bind(QHostAddress(kLoopback), 0));
    UdpSentenceSender sender;
    ASSERT_TRUE(sender.write("$GPHDT,001.0,T*hh\r\n").ok()) << "off: nothing sent";
    sender.start({kLoopback, listener.localPort()});
    const std::vector<std::string> sentences = {"$GPHDT,001.0,T*hh\r\n", "$GPTHS,001.0,A*hh\r\n",
                                                "$GPROT,-180.0,A*15\r\n"};
    for (int epoch = 0; epoch < 50; ++epoch) {
        ASSERT_TRUE(sender.write(sentences[0] + sentences[1] + sentences[2]).ok());
    }
    EXPECT_EQ(
        sender.statusText(),
        QStringLiteral("UDP: 150 datagram(s) sent to 127.0.0.1:%1").arg(listener.localPort()));
    std::vector<std::string> received;
    ASSERT_TRUE(waitFor([&] {
        while (listener.hasPendingDatagrams()) {
            received.push_back(listener.receiveDatagram().data().toStdString());
        }
        return received.size() == 150;
    }));
    for (std::size_t index = 0; index < received.size(); ++index) {
        ASSERT_EQ(received[index], sentences[index % 3]) << index;
    }
}

}  // namespace
}  // namespace bivane

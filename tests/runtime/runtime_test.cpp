// The runtime's pieces in process: the command line, the settings file and the
// log on disk, the per-user store, the network outputs on the loopback address
// and the input recorder.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QNetworkDatagram>
#include <QSettings>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reception/capture.h"
#include "reception/serial_port.h"
#include "runtime/command_line.h"
#include "runtime/data_logger.h"
#include "runtime/input_recorder.h"
#include "runtime/network_settings.h"
#include "runtime/output_settings.h"
#include "runtime/settings_at_start.h"
#include "runtime/settings_file_io.h"
#include "runtime/tcp_sentence_server.h"
#include "runtime/udp_sentence_sender.h"
#include "tests/serial_qt/pseudo_terminal.h"

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

// What a start, a close and the logging do on disk: the settings file read
// (and kept as ".bad" when it cannot be read whole) and saved, the program
// folder made, the log file, and the output settings in the per-user store.

std::string contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(none)");
}

// A file read whole is the window's start in the window life cycle test.
TEST(SettingsAtStart, AFileReadInPartIsReportedAndKeptAsBadAndItsFirstItemsUsed) {
    struct Row {
        const char* file;
        const char* problem;  // in the report
        std::int16_t port2;   // read before the problem, or built in
    } const rows[] = {
        {"4,\"4800,n,8,1\"\r\n5,\"4800,n,8,1\"\r\n", "past line 3: the file ends before", 5},
        {"4,\"4800,n,8,1\"\r\n0,\"4800,n,8,1\"\r\n", "past line 2: the port number of port 2", 2},
        {"4,\"fast\"\r\n", "line 1: the settings text of port 1, \"\"fast\"\", cannot be used", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Bivane.ini"));
        std::ofstream(path.toStdString(), std::ios::binary) << row.file;
        const SettingsAtStart start = ReadSettingsAtStart(path);
        EXPECT_TRUE(start.exists && start.usable && !start.whole);
        EXPECT_EQ(start.items.port(1).number, 4);
        EXPECT_EQ(start.items.port(2).number, row.port2);
        ASSERT_TRUE(start.report);
        EXPECT_TRUE(start.report->contains(QLatin1String(row.problem)))
            << start.report->toStdString();
        EXPECT_TRUE(
            start.report->contains(QStringLiteral("The file is kept as \"%1.bad\"").arg(path)));
        EXPECT_EQ(contents(path + QStringLiteral(".bad")), row.file);
    }
}

// No file at all is the window's first start in the window life cycle test,
// and the text saved is checked in the window tests (first start, OK in a
// dialog).
TEST(SettingsFile, AFolderInTheWayIsReportedAndASaveIsWholeOrTheFailureIsNamed) {
    QTemporaryDir dir;
    const QString folderPath = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkpath(folderPath));
    const SettingsAtStart folder = ReadSettingsAtStart(folderPath);
    EXPECT_TRUE(folder.exists && !folder.usable);
    ASSERT_TRUE(folder.report);
    EXPECT_EQ(*folder.report, QStringLiteral("The settings file \"%1\" cannot be read: it is a "
                                             "folder. The built-in settings are used.")
                                  .arg(folderPath));

    const QString path = dir.filePath(QStringLiteral("Bivane.ini"));
    std::ofstream(path.toStdString(), std::ios::binary) << "old";
    SettingsItems items;
    EXPECT_EQ(SaveSettingsFile(path, items), std::nullopt);
    EXPECT_EQ(contents(path).substr(0, 2), "1,");
    EXPECT_NE(SaveSettingsFile(dir.filePath(QStringLiteral("missing/Bivane.ini")), items),
              std::nullopt);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Bivane.ini")})
        << "no temporary file left behind";
}

// The log folder and file name, and each heading in the file at once, are
// the window's logging test.
TEST(DataLogger, AppendsToItsFileAndNamesEachFailure) {
    QTemporaryDir dir;
    const std::string folder = LogFolder(dir.path().toStdString() + "/");
    const std::string name = "Bivane.log";
    DataLogger logger;
    EXPECT_FALSE(logger.write("x").ok()) << "no file open";
    ASSERT_EQ(logger.start(folder, name), std::nullopt);
    EXPECT_TRUE(logger.write("$GPHDT,1.0,T\r\n").ok());
    EXPECT_EQ(logger.stop(), std::nullopt);
    ASSERT_EQ(logger.start(folder, name), std::nullopt);  // a restart in the same second
    EXPECT_TRUE(logger.write("$GPHDT,2.0,T\r\n").ok());
    EXPECT_EQ(logger.stop(), std::nullopt);
    EXPECT_EQ(contents(QString::fromStdString(folder + name)), "$GPHDT,1.0,T\r\n$GPHDT,2.0,T\r\n");

    const std::string taken = folder + "taken.log";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(taken)));
    const auto folderInTheWay = logger.start(folder, "taken.log");
    ASSERT_TRUE(folderInTheWay);
    EXPECT_TRUE(folderInTheWay->starts_with("The log file \"" + taken + "\" cannot be opened: "))
        << *folderInTheWay;
    EXPECT_FALSE(logger.isOpen());

    // A "file" that takes every line but cannot be synced to disk.
    if (!QFile::link(QStringLiteral("/dev/null"), QString::fromStdString(folder + "null.log"))) {
        GTEST_SKIP() << "no symbolic link to /dev/null";
    }
    ASSERT_EQ(logger.start(folder, "null.log"), std::nullopt);
    EXPECT_TRUE(logger.write("x\r\n").ok());
    const auto unsynced = logger.stop();
    ASSERT_TRUE(unsynced);
    EXPECT_NE(unsynced->find("\" cannot be saved to disk: "), std::string::npos) << *unsynced;
    EXPECT_FALSE(logger.isOpen());
}

TEST(PerUserStore, KeepsTheOutputAndNetworkSettingsAndWhatCannotBeReadIsNotUsed) {
    using enum HeadingSentence;
    QTemporaryDir folder;
    QSettings store(folder.filePath(QStringLiteral("user.ini")), QSettings::IniFormat);
    EXPECT_EQ(ReadOutputSettings(store), OutputSettings{}) << "HDT alone, 1 degree";

    const OutputSettings chosen{{Ths, Hdt, Rot}, 0.35, 0};
    WriteOutputSettings(store, chosen);
    EXPECT_EQ(ReadOutputSettings(store), chosen);

    store.setValue(QStringLiteral("Output/Sentences"), QStringLiteral("HDT,RMC"));
    store.setValue(QStringLiteral("Output/BaselineLimit"), QStringLiteral("-2"));
    store.setValue(QStringLiteral("Output/RotTimeConstant"), QStringLiteral("x"));
    EXPECT_EQ(ReadOutputSettings(store), OutputSettings{});

    EXPECT_EQ(ReadNetworkSettings(store), NetworkSettings{}) << "defaults";
    for (const bool tcpOn : {true, false}) {
        const NetworkSettings changed{tcpOn,
                                      {QStringLiteral("192.168.1.20"), 2000},
                                      !tcpOn,
                                      {QStringLiteral("192.168.1.255"), 2001}};
        WriteNetworkSettings(store, changed);
        EXPECT_EQ(ReadNetworkSettings(store), changed);
    }
}

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

// A clock one millisecond further at every reading.
InputRecorder::Clock steppingClock() {
    return [us = std::int64_t{1796654987000000}]() mutable { return us += 1000; };
}

TEST(InputRecorder, AFullFileMovesToDotOneAndANewOneStartsWithItsHeader) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.capture"));
    InputRecorder recorder(steppingClock());
    // The header (105 bytes) and two or three of the lines below (36 to 78) fit.
    ASSERT_FALSE(recorder.start(path, 260, "NMEA Bivane 1.05", {"replay-options: --x"}));
    const std::string sentence = "$GPGGA,123519.00,4807.038,N,01131.000,E*00\r\n";
    for (std::size_t event = 0; event < 7; ++event) {
        if (event == 5) {
            recorder.lineCondition(2, kEventFrame);
        } else {
            recorder.received(1 + static_cast<int>(event % 2), sentence.substr(0, 40 + event));
        }
    }
    EXPECT_TRUE(recorder.isRecording());
    const std::string older = contents(path + QStringLiteral(".1"));
    const std::string newer = contents(path);
    // Events 0-1, 2-3, 4-5 and 6 a file each: the first two were replaced.
    const std::string header = "; NMEA Bivane 1.05: what ports 1 and 2 received, from ";
    EXPECT_EQ(older, header + "2026-12-07T14:49:47.006000Z\n; replay-options: --x\n" +
                         "@2026-12-07T14:49:47.006000Z 1>" + EscapeCaptureText(sentence) + "\n" +
                         "@2026-12-07T14:49:47.007000Z 2#1004\n");
    EXPECT_EQ(newer, header + "2026-12-07T14:49:47.008000Z\n; replay-options: --x\n" +
                         "@2026-12-07T14:49:47.008000Z 1>" + EscapeCaptureText(sentence) + "\n");
    EXPECT_LE(older.size(), 260u);
}

TEST(InputRecorder, AFailedRenameStopsTheRecordingAndIsReportedOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.capture"));
    // A folder that is not empty where FILE.1 would go.
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral(".1/kept")));
    InputRecorder recorder(steppingClock());
    QStringList reports;
    recorder.setStopHandler([&](const QString& text) { reports << text; });
    ASSERT_FALSE(recorder.start(path, 100, "P"));
    for (int event = 0; event < 5; ++event) {
        recorder.received(1, std::string(40, 'x'));
    }
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_EQ(reports, QStringList{QStringLiteral("Recording to %1 stopped: cannot rename it to "
                                                  "%1.1: Is a directory")
                                       .arg(path)});
    EXPECT_EQ(contents(path).size(), 67u + 72u) << "the header and one line stay";
}

}  // namespace
}  // namespace bivane

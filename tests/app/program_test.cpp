// The program itself, started as users start it, on pseudo-terminals, and
// ended by a signal as at logout.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "tests/app/first_start_file.h"
#include "tests/app/window_harness.h"
#include "tests/serial_qt/pseudo_terminal.h"

namespace bivane {
namespace {

using namespace std::chrono_literals;
using test::ReadWholeFile;
using test::WindowHarness;
using test_support::PseudoTerminal;

class Program : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }

    void start(QStringList arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        m_program.setProcessEnvironment(environment);
        m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        arguments.prepend(path(QStringLiteral("pf")));
        arguments.prepend(QStringLiteral("--program-folder"));
        m_program.start(QStringLiteral(NMEA_BIVANE_PROGRAM), arguments);
        ASSERT_TRUE(m_program.waitForStarted(5000));
    }

    // SIGTERM, as at logout: the program closes its window and ends.
    void terminate() {
        m_program.terminate();
        ASSERT_TRUE(m_program.waitForFinished(10000));
        EXPECT_EQ(m_program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_program.exitCode(), 0);
    }

    QTemporaryDir m_dir;
    QProcess m_program;
};

TEST_F(Program, AFirstStartWritesTheBuiltInSettingsWhenItEnds) {
    start({});
    // The program folder appears at start-up, after the signal handling.
    for (int wait = 0; wait < 1000 && !QDir(path(QStringLiteral("pf"))).exists(); ++wait) {
        QThread::msleep(10);
    }
    terminate();
    EXPECT_EQ(ReadWholeFile(path(QStringLiteral("pf/Bivane.ini"))), test::kFirstStartFile);
    EXPECT_EQ(ReadWholeFile(path(QStringLiteral("config/NMEA Bivane.ini"))),
              "[Settings]\nMainLeft=1000\nMainTop=1000\n");
}

TEST_F(Program, ReceiversOnMappedPortsGiveHeadingSentencesOnTheOutput) {
    PseudoTerminal gps1;
    PseudoTerminal gps2;
    PseudoTerminal output;
    const std::string settings =
        "21,\"4800,n,8,1\"\r\n22,\"4800,n,8,1\"\r\n23,\"4800,n,8,1\"\r\n0,0\r\n0,0\r\n#TRUE#\r\n";
    test::WriteWholeFile(path(QStringLiteral("settings")), settings);
    QDir().mkpath(path(QStringLiteral("pf")));
    QFile::rename(path(QStringLiteral("settings")), path(QStringLiteral("pf/Bivane.ini")));
    start({QStringLiteral("--com"), QStringLiteral("21=") + gps1.devicePath(),
           QStringLiteral("--com"), QStringLiteral("22=") + gps2.devicePath(),
           QStringLiteral("--com=23=") + output.devicePath(), QStringLiteral("--screenshot"),
           path(QStringLiteral("window.png")), QStringLiteral("--labels"),
           path(QStringLiteral("labels.json"))});

    // The receivers send once a second from the moment the program may
    // listen; the first pairs may come before it does.
    std::string sent;
    for (int second = 0; second < 20 && sent.size() < 3 * 19; ++second) {
        const auto [first, other] = WindowHarness::FixPair(second);
        gps1.send(first);
        gps2.send(other);
        sent += output.receive(500ms);
    }
    terminate();
    ASSERT_GE(sent.size(), 3u * 19u) << sent;
    EXPECT_EQ(sent.substr(sent.size() - 19), "$GPHDT,026.7,T*36\r\n");
    EXPECT_EQ(ReadWholeFile(path(QStringLiteral("pf/Bivane.ini"))), settings);
    // The labels at exit show the last heading sent.
    const std::string labels = ReadWholeFile(path(QStringLiteral("labels.json")));
    EXPECT_NE(labels.find(R"("lblHDT": {"text": "$GPHDT,026.7,T*36")"), std::string::npos)
        << labels;
    const QImage window(path(QStringLiteral("window.png")));
    EXPECT_GT(window.width(), 400);
    EXPECT_GT(window.height(), 400);
}

TEST_F(Program, AWrongCommandLineIsRefused) {
    start({QStringLiteral("--com"), QStringLiteral("COM1=/dev/ttyS0")});
    ASSERT_TRUE(m_program.waitForFinished(10000));
    EXPECT_EQ(m_program.exitCode(), 2);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("pf/Bivane.ini"))));
}

}  // namespace
}  // namespace bivane

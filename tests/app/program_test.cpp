// The program itself, started as users start it, on pseudo-terminals, and
// ended by a signal as at logout.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>

#include "tests/support/window_harness.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::PseudoTerminal;

// Runs the program on the offscreen platform with its program folder and
// per-user settings in `dir`, its standard error passed on.
void startProgram(QProcess& program, const QTemporaryDir& dir, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(
        QStringLiteral(NMEA_BIVANE_PROGRAM),
        QStringList{QStringLiteral("--program-folder"), dir.filePath(QStringLiteral("pf"))}
            << arguments);
    ASSERT_TRUE(program.waitForStarted(5000));
}

TEST(Program, ReceiversOnMappedPortsGiveHeadingsAndSigtermEndsItWithItsLabelsAndPicture) {
    QTemporaryDir dir;
    PseudoTerminal gps1;
    PseudoTerminal gps2;
    PseudoTerminal output;
    const std::string settings =
        "21,\"4800,n,8,1\"\r\n22,\"4800,n,8,1\"\r\n23,\"4800,n,8,1\"\r\n0,0\r\n0,0\r\n#TRUE#\r\n";
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("pf"))));
    WriteWholeFile(dir.filePath(QStringLiteral("pf/Bivane.ini")), settings);
    QProcess program;
    startProgram(program, dir,
                 {QStringLiteral("--com"), QStringLiteral("21=") + gps1.devicePath(),
                  QStringLiteral("--com"), QStringLiteral("22=") + gps2.devicePath(),
                  QStringLiteral("--com=23=") + output.devicePath(), QStringLiteral("--screenshot"),
                  dir.filePath(QStringLiteral("window.png")), QStringLiteral("--labels"),
                  dir.filePath(QStringLiteral("labels.json"))});
    // The receivers send once a second from the moment the program may
    // listen; the first pairs may come before it does.
    std::string sent;
    for (int second = 0; second < 20 && sent.size() < 3 * 19; ++second) {
        const auto [first, other] = WindowHarness::FixPair(second);
        gps1.send(first);
        gps2.send(other);
        sent += output.receive(500ms);
    }
    program.terminate();  // as at logout: the window closes and the program ends
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    ASSERT_GE(sent.size(), 3u * 19u) << sent;
    EXPECT_EQ(sent.substr(sent.size() - 19), "$GPHDT,026.7,T*36\r\n");
    EXPECT_EQ(ReadWholeFile(dir.filePath(QStringLiteral("pf/Bivane.ini"))), settings);
    EXPECT_EQ(ReadWholeFile(dir.filePath(QStringLiteral("config/NMEA Bivane.ini"))),
              "[Settings]\nMainLeft=1000\nMainTop=1000\n");
    const std::string labels = ReadWholeFile(dir.filePath(QStringLiteral("labels.json")));
    EXPECT_NE(labels.find(R"("lblHDT": {"text": "$GPHDT,026.7,T*36")"), std::string::npos)
        << labels;
    const QImage window(dir.filePath(QStringLiteral("window.png")));
    EXPECT_GT(window.width(), 400);
    EXPECT_GT(window.height(), 400);
}

}  // namespace
}  // namespace bivane::test

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QAction>
#include <QFileInfo>
#include <QProcess>
#include <cmath>
#include <csignal>

#include "tests/app/window_harness.h"
#include "tests/support/gga_lines.h"

namespace bivane {
namespace {

using test::WindowHarness;

// Heading output on; the offsets give the baseline the harness's fixes
// show (4.98 m), so THS says A.
constexpr const char* kSettings =
    "1,\"4800,n,8,1\",2,\"4800,n,8,1\",3,\"4800,n,8,1\",0,0,2.23,4.45,#TRUE#\n";

QString recordMenuText(const Frm_Bivane& window) {
    return window.findChild<QAction*>(QStringLiteral("mnuFileRecord"))->text();
}

// GGA lines of both receivers at 12:35:`second`, GPS 2 about 4.98 m from
// GPS 1 and the line between them turning 7 degrees a second.
std::pair<std::string, std::string> turningPair(int second) {
    test::GgaFields gps1;
    gps1.time = QString::asprintf("1235%02d.00", second).toStdString();
    test::GgaFields gps2 = gps1;
    const double direction = (26.6 + 7 * second) * 3.14159265358979 / 180;
    gps2.latitudeDegrees += 4.98 * std::cos(direction) / 111200;
    gps2.longitudeDegrees += 4.98 * std::sin(direction) / (111200 * std::cos(0.8398));
    return {test::GgaLine(gps1), test::GgaLine(gps2)};
}

struct RecordingWindow {
    WindowHarness harness;
    Frm_Bivane* window = nullptr;
    QString path;

    RecordingWindow() {
        test::SetUserSetting(QStringLiteral("Output/Sentences"), QStringLiteral("HDT,THS,ROT"));
        harness.writeFile(QStringLiteral("Bivane.ini"), kSettings);
        window = &harness.start();
        path = harness.path(QStringLiteral("input.capture"));
        harness.prompts.answers.emplace_back(path);
        window->mnuFileRecord_Click();
    }
};

TEST(Recording, ARecordingReplaysToTheSentencesTheWindowSent) {
    RecordingWindow run;
    WindowHarness& harness = run.harness;
    ASSERT_TRUE(run.window->recorder().isRecording());
    EXPECT_EQ(recordMenuText(*run.window), QStringLiteral("Stop Recording"));
    for (int second = 0; second < 12; ++second) {
        auto [gps1, gps2] = turningPair(second);
        if (second == 3) {
            gps1.insert(0, std::string("\x00\xB0\xFFnoise\r\n", 10));
        }
        if (second == 5) {
            gps2.clear();  // a dropped line
        }
        if (second == 7) {
            gps2[30] ^= 1;  // a checksum error
        }
        if (second == 9) {  // a line damaged on the wire, then the next one
            harness.port(1).receive(gps1.substr(0, 25));
            harness.port(1).lineCondition(kEventFrame);
            gps1 = turningPair(second).first;
        }
        harness.port(1).receive(gps1.substr(0, 17));  // split in two events
        harness.port(1).receive(gps1.substr(17));
        harness.port(2).receive(gps2);
        harness.settle();
    }
    run.window->mnuFileRecord_Click();
    EXPECT_FALSE(run.window->recorder().isRecording());
    EXPECT_EQ(recordMenuText(*run.window), QStringLiteral("Record Input…"));

    const std::string recording = harness.readFile(QStringLiteral("input.capture"));
    const std::string key = "\n; replay-options: ";
    const std::size_t options = recording.find(key) + key.size();
    ASSERT_GT(options, key.size()) << recording;
    QStringList arguments = QProcess::splitCommand(
        QString::fromStdString(recording.substr(options, recording.find('\n', options) - options)));
    QProcess replay;
    replay.start(QStringLiteral(NMEA_BIVANE_REPLAY), arguments << run.path);
    ASSERT_TRUE(replay.waitForFinished(10000));
    const std::string replayed = replay.readAllStandardOutput().toStdString();
    // Port 3 also got ROT, which the replay does not send.
    std::string sent;
    for (std::size_t at = 0, end; at < harness.port(3).written().size(); at = end) {
        end = harness.port(3).written().find('\n', at) + 1;
        if (harness.port(3).written().compare(at, 6, "$GPROT") != 0) {
            sent += harness.port(3).written().substr(at, end - at);
        }
    }
    EXPECT_EQ(replayed, sent);
    // An HDT and THS for each epoch but the dropped line's and the checksum
    // error's, which get a THS that says not valid.
    const auto count = [&sent](std::string_view what) {
        std::size_t n = 0;
        for (std::size_t at = sent.find(what); at != std::string::npos;
             at = sent.find(what, at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count("$GPHDT,"), 10u) << sent;
    EXPECT_EQ(count(",A*"), 10u) << sent;
    EXPECT_EQ(count("$GPTHS,,V"), 2u) << sent;
}

TEST(Recording, AFailedWriteShowsOnTheErrorLineAndTheHeadingGoesOn) {
    RecordingWindow run;
    rlimit usual{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &usual), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit full = usual;
    full.rlim_cur = static_cast<rlim_t>(QFileInfo(run.path).size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    run.harness.receivePair(20);
    run.harness.receivePair(21);
    setrlimit(RLIMIT_FSIZE, &usual);
    EXPECT_FALSE(run.window->recorder().isRecording());
    EXPECT_EQ(recordMenuText(*run.window), QStringLiteral("Record Input…"));
    EXPECT_EQ(run.window->label("lblError")->text(),
              QStringLiteral("12:34:56 : Recording to %1 stopped: File too large").arg(run.path));
    EXPECT_EQ(std::count(run.harness.port(3).written().begin(), run.harness.port(3).written().end(),
                         '\n'),
              6)
        << "HDT, THS and ROT of both epochs";
}

}  // namespace
}  // namespace bivane

#include "runtime/input_recorder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "reception/capture.h"
#include "reception/serial_port.h"

namespace bivane {
namespace {

std::string contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(none)");
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

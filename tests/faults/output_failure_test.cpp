// The heading output unplugged and the log on a disk that refuses every
// write: the window keeps showing each new heading and its fixes, and the
// error line says that the heading was neither sent nor logged.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QPushButton>
#include <cmath>
#include <string>

#include "runtime/data_logger.h"
#include "tests/faults/window_on_lines.h"

namespace bivane::test {
namespace {

using OutputFailure = WindowOnLines;

// Epoch n's antennas stand n degrees from north (see EpochPair); the window's
// heading label shows that angle within the flat-earth approximation.
double angleDifference(const std::string& shown, int n) {
    const double difference = std::fmod(std::stod(shown) - n + 540.0, 360.0) - 180.0;
    return std::abs(difference);
}

TEST_F(OutputFailure, TheHeadingFollowsTheVesselAndTheErrorLineSaysWhatWasLost) {
    start();
    ASSERT_TRUE(harness.prompts.messages.empty())
        << harness.prompts.texts().join(u'|').toStdString();
    ASSERT_TRUE(headingsFollow(0, 0));

    // The log file is /dev/full: it opens, and every write fails with ENOSPC.
    const std::string folder = LogFolder(harness.programFolder().toStdString() + "/");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    const std::string logFile = folder + LogFileName(harness.clock.now());
    ASSERT_EQ(::symlink("/dev/full", logFile.c_str()), 0) << logFile;
    window().cmdLog()->click();
    ASSERT_EQ(window().cmdLog()->text(), QStringLiteral("Stop Logging"))
        << harness.prompts.texts().join(u'|').toStdString();

    // The output adapter unplugged: the line's far end goes.
    heading.closeMaster();

    for (int n = 10; n <= 40; n += 10) {
        ASSERT_TRUE(sendEpoch(n)) << "epoch " << n << " was not shown";
        EXPECT_LT(angleDifference(label("lblHeading"), n), 0.2)
            << "epoch " << n << " shows " << label("lblHeading");
        EXPECT_EQ(label("lblUTC", 1), EpochTime(n));
        EXPECT_EQ(label("lblHDT").substr(7, 5), label("lblHeading"));
        const std::string error = label("lblError");
        EXPECT_NE(error.find(": heading not sent"), std::string::npos) << error;
        EXPECT_NE(error.find(": heading not logged"), std::string::npos) << error;
    }
    EXPECT_EQ(harness.prompts.messages.size(), 1u)
        << "only the logging-started message: " << harness.prompts.texts().join(u'|').toStdString();
}

}  // namespace
}  // namespace bivane::test

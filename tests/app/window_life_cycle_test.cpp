// The window's start and close: the settings file and the window's position
// read at start, written back at close, and what it says when either fails.
// (Where a position on no screen goes shows in window_position_test.cpp; how
// the settings file is read, kept and saved in tests/runtime.)

#include <gtest/gtest.h>

#include <QDir>
#include <QScreen>

#include "app/twips.h"
#include "tests/support/window_harness.h"

namespace bivane::test {
namespace {

const QString kLeft = QStringLiteral("Settings/MainLeft");
const QString kTop = QStringLiteral("Settings/MainTop");
const QString kIni = QStringLiteral("Bivane.ini");

int pixels(Frm_Bivane& window, double twips) {
    return TwipsToPixels(twips, window.screen()->logicalDotsPerInch());
}

float storedTwips(Frm_Bivane& window, int pixels) {
    return static_cast<float>(PixelsToTwips(pixels, window.screen()->logicalDotsPerInch()));
}

TEST(WindowLifeCycle, FirstStartOpensNoPortAndFileExitWritesTheBuiltInSettingsOnce) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    EXPECT_EQ(window.pos(), QPoint(pixels(window, 1000), pixels(window, 1000)));
    EXPECT_EQ(harness.openPorts(), "- - -");
    EXPECT_FLOAT_EQ(harness.state().TimeTolerance, 0.2f);
    window.show();
    window.mnuFileExit_Click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(harness.readFile(kIni), kFirstStartFile);
    EXPECT_EQ(UserSetting(kLeft), QStringLiteral("1000"));
    EXPECT_EQ(UserSetting(kTop), QStringLiteral("1000"));
    EXPECT_TRUE(harness.prompts.messages.empty());
    QFile::remove(harness.path(kIni));
    window.close();
    EXPECT_EQ(harness.readFile(kIni), "") << "written once";
}

// Each port that cannot open is reported and the start goes on; the heading
// output stays closed while it is off; the file is written back unchanged.
TEST(WindowLifeCycle, TheSettingsFileConfiguresTheWindowAndEachPortThatCannotOpenIsReported) {
    const struct {
        const char* file;
        const char* open;
        const char* calculated;
    } rows[] = {
        {"14,\"9600,e,7,2\"\r\n15,\"4800,n,8,1\"\r\n16,\"38400,n,8,1\"\r\n-1.25,0\r\n"
         "-1.25,10.5\r\n#FALSE#\r\n",
         "- 2 -", "10.50 m"},
        {"14,\"4800,n,8,1\"\r\n15,\"4800,n,8,1\"\r\n16,\"4800,n,8,1\"\r\n0,-2\r\n3,2\r\n#TRUE#\r\n",
         "- 2 3", "5.00 m"},
    };
    for (const auto& row : rows) {
        WindowHarness harness;
        harness.writeFile(kIni, row.file);
        Frm_Bivane& window = harness.start(MemoryPorts([](int index, MemoryPort& port) {
            if (index == 1) {
                port.failOpens("no such device");
            }
        }));
        EXPECT_EQ(harness.prompts.texts(),
                  QStringList{QStringLiteral("Com port  14 not available. Try another !")});
        EXPECT_EQ(harness.openPorts(), row.open) << row.file;
        EXPECT_EQ(harness.label("lblCalculated"), row.calculated);
        window.close();
        EXPECT_EQ(harness.readFile(kIni), row.file) << "written back unchanged";
    }
}

TEST(WindowLifeCycle, TheStoredPositionPlacesTheWindowAndOnlyAMovedOneIsStoredAgain) {
    const struct {
        const char* left;  // stored before the start
        const char* top;
        double leftTwips;  // where the window opens
        double topTwips;
        QPoint moveTo;  // pixels; (-1, -1) to leave it where it opened
        bool minimised;
    } rows[] = {
        {"1500", "757.5", 1500, 757.5, {-1, -1}, false},
        {"1500", "not a number", 1500, 1000, {200, 120}, false},
        {"2000", "", 2000, 1000, {300, 300}, true},
    };
    for (const auto& row : rows) {
        WindowHarness harness;
        SetUserSetting(kLeft, QLatin1String(row.left));
        SetUserSetting(kTop, QLatin1String(row.top));
        Frm_Bivane& window = harness.start();
        EXPECT_EQ(window.pos(),
                  QPoint(pixels(window, row.leftTwips), pixels(window, row.topTwips)));
        window.show();
        if (row.moveTo.x() >= 0) {
            window.move(row.moveTo);
        }
        if (row.minimised) {
            window.showMinimized();
        }
        window.close();
        if (row.moveTo.x() < 0 || row.minimised) {
            // The stored texts stay as they were, not rounded to pixels.
            EXPECT_EQ(UserSetting(kLeft), QLatin1String(row.left));
            EXPECT_EQ(UserSetting(kTop), QLatin1String(row.top));
        } else {
            EXPECT_EQ(UserSetting(kLeft).toFloat(), storedTwips(window, row.moveTo.x()));
            EXPECT_EQ(UserSetting(kTop).toFloat(), storedTwips(window, row.moveTo.y()));
        }
    }
}

}  // namespace
}  // namespace bivane::test

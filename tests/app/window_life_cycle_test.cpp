// The window's start and close: the settings file and the window's position
// read at start, written back at close, and what it says when either fails;
// where a position on no screen goes; and the program itself, started as
// users start it on pseudo-terminals and ended by a signal as at logout. (How
// the settings file is read, kept and saved shows in tests/runtime.)

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QScreen>

#include "app/twips.h"
#include "app/window_position.h"
#include "tests/support/window_harness.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::PseudoTerminal;

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

TEST(VisibleWindowPosition, KeepsAPlaceWhoseTitleBarCanBeGrabbedElseMovesToThePrimaryScreen) {
    // The primary screen and a shorter one right of it; a frame of 440 x 460
    // pixels with a 30-pixel title bar.
    const QRect primary(0, 0, 1920, 1080);
    const QRect second(1920, 0, 1280, 1024);
    struct Row {
        const char* legend;
        QPoint wanted;
        QPoint expected;
    };
    const Row rows[] = {
        {"on the second screen", {2500, 500}, {2500, 500}},
        {"32 pixels of the bar on the left edge", {-408, 200}, {-408, 200}},
        {"31 pixels of the bar on the left edge", {-409, 200}, {67, 67}},
        {"half the bar below the top edge", {300, -15}, {300, -15}},
        {"less than half the bar below the top edge", {300, -16}, {67, 67}},
        {"below the shorter screen", {2500, 1030}, {67, 67}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(
            VisibleWindowPosition(row.wanted, {440, 460}, 30, {primary, second}, primary, {67, 67}),
            row.expected)
            << row.legend;
    }
    // A small primary screen away from the origin: the frame is kept on it
    // where it fits, its top-left corner on it where it does not.
    const QRect small(-800, 100, 480, 500);
    EXPECT_EQ(VisibleWindowPosition({0, 0}, {440, 460}, 30, {small}, small, {67, 67}),
              QPoint(-760, 140));
    EXPECT_EQ(VisibleWindowPosition({0, 0}, {600, 600}, 30, {small}, small, {67, 67}),
              QPoint(-800, 100));
}

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

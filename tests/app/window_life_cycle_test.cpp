#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include "app/twips.h"
#include "tests/app/first_start_file.h"
#include "tests/app/window_harness.h"

namespace bivane {
namespace {

using test::kFirstStartFile;

using test::MemoryPorts;
using test::ReadWholeFile;
using test::SetUserSetting;
using test::UserSetting;
using test::WindowHarness;

const QString kLeft = QStringLiteral("Settings/MainLeft");
const QString kTop = QStringLiteral("Settings/MainTop");
const QString kIni = QStringLiteral("Bivane.ini");

int pixels(Frm_Bivane& window, double twips) {
    return TwipsToPixels(twips, window.screen()->logicalDotsPerInch());
}

TEST(WindowLifeCycle, FirstStartOpensNoPortAndClosingWritesTheBuiltInSettings) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    EXPECT_TRUE(QDir(harness.programFolder()).exists());
    EXPECT_EQ(harness.state().ProgramFolder,
              (harness.programFolder() + QLatin1Char('/')).toStdString());
    EXPECT_EQ(window.pos(), QPoint(pixels(window, 1000), pixels(window, 1000)));
    for (int index = 1; index <= 3; ++index) {
        EXPECT_FALSE(harness.port(index).isOpen()) << "port " << index;
    }
    EXPECT_EQ(window.label("lblCalculated")->text(), QStringLiteral("0.0 m"));
    EXPECT_FLOAT_EQ(harness.state().TimeTolerance, 0.2f);
    EXPECT_EQ(harness.state().HdtData.TalkerID, "GP");

    window.show();
    window.close();
    EXPECT_EQ(harness.readFile(kIni), kFirstStartFile);
    EXPECT_EQ(UserSetting(kLeft), QStringLiteral("1000"));
    EXPECT_EQ(UserSetting(kTop), QStringLiteral("1000"));
    EXPECT_TRUE(harness.prompts.messages.empty())
        << harness.prompts.texts().join(u'|').toStdString();
}

TEST(WindowLifeCycle, TheSettingsFileConfiguresPortsOffsetsAndOutputAndIsWrittenBack) {
    struct Row {
        const char* file;
        bool port3Open;
        const char* calculated;
    };
    const Row rows[] = {
        {"4,\"9600,e,7,2\"\r\n5,\"4800,n,8,1\"\r\n6,\"38400,n,8,1\"\r\n"
         "-1.25,0\r\n-1.25,10.5\r\n#FALSE#\r\n",
         false, "10.50 m"},
        {"7,\"4800,n,8,1\"\r\n8,\"4800,n,8,1\"\r\n9,\"4800,n,8,1\"\r\n"
         "0,-2\r\n3,2\r\n#TRUE#\r\n",
         true, "5.00 m"},
    };
    for (const Row& row : rows) {
        WindowHarness harness;
        harness.writeFile(kIni, row.file);
        Frm_Bivane& window = harness.start();
        EXPECT_TRUE(harness.port(1).isOpen()) << row.file;
        EXPECT_TRUE(harness.port(2).isOpen()) << row.file;
        EXPECT_EQ(harness.port(3).isOpen(), row.port3Open) << row.file;
        EXPECT_EQ(window.label("lblCalculated")->text(), QLatin1String(row.calculated));
        EXPECT_EQ(harness.state().HeadingOutput, row.port3Open);
        window.close();
        EXPECT_EQ(harness.readFile(kIni), row.file) << "written back unchanged";
        EXPECT_TRUE(harness.prompts.messages.empty());
    }
}

TEST(WindowLifeCycle, EachPortThatCannotOpenIsReportedAndStartUpGoesOn) {
    WindowHarness harness;
    harness.writeFile(kIni,
                      "14,\"4800,n,8,1\"\r\n15,\"4800,n,8,1\"\r\n16,\"4800,n,8,1\"\r\n"
                      "0,0\r\n0,4\r\n#TRUE#\r\n");
    Frm_Bivane& window = harness.start(MemoryPorts([](int index, MemoryPort& port) {
        if (index != 3) {
            port.failOpens("no such device");
        }
    }));
    ASSERT_EQ(harness.prompts.messages.size(), 2u);
    EXPECT_EQ(harness.prompts.messages[0].title, QStringLiteral("NMEA Bivane"));
    EXPECT_EQ(harness.prompts.messages[0].text,
              QStringLiteral("Com port  14 not available. Try another !"));
    EXPECT_EQ(harness.prompts.messages[1].text,
              QStringLiteral("Com port  15 not available. Try another !"));
    EXPECT_TRUE(harness.port(3).isOpen());
    EXPECT_EQ(window.label("lblCalculated")->text(), QStringLiteral("4.00 m"));
    window.close();
    EXPECT_EQ(harness.readFile(kIni).substr(0, 16), "14,\"4800,n,8,1\"\r");
}

TEST(WindowLifeCycle, TheStoredPositionPlacesTheWindowAndAMovedWindowIsStored) {
    struct Row {
        const char* left;  // stored before the start
        const char* top;
        double leftTwips;  // where the window opens
        double topTwips;
        QPoint moveTo;  // pixels; (-1, -1) to leave it where it opened
    };
    const Row rows[] = {
        {"1500", "757.5", 1500, 757.5, {-1, -1}},
        {"1500", "not a number", 1500, 1000, {200, 120}},
    };
    for (const Row& row : rows) {
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
        window.close();
        if (row.moveTo.x() < 0) {
            // Not moved: the stored texts stay as they were, not rounded to pixels.
            EXPECT_EQ(UserSetting(kLeft), QLatin1String(row.left));
            EXPECT_EQ(UserSetting(kTop), QLatin1String(row.top));
        } else {
            const double dpi = window.screen()->logicalDotsPerInch();
            EXPECT_EQ(UserSetting(kLeft).toFloat(),
                      static_cast<float>(PixelsToTwips(row.moveTo.x(), dpi)));
            EXPECT_EQ(UserSetting(kTop).toFloat(),
                      static_cast<float>(PixelsToTwips(row.moveTo.y(), dpi)));
        }
    }
}

TEST(WindowLifeCycle, APositionOnNoScreenOpensOnThePrimaryScreenAndIsCorrectedAtClose) {
    for (const bool minimised : {false, true}) {
        WindowHarness harness;
        SetUserSetting(kLeft, QStringLiteral("100000"));
        SetUserSetting(kTop, QStringLiteral("100000"));
        Frm_Bivane& window = harness.start();
        const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(primary.contains(window.pos()))
            << "opened at " << window.pos().x() << "," << window.pos().y();
        const QPoint opened = window.pos();
        window.show();
        if (minimised) {
            window.showMinimized();
        }
        window.close();
        const double dpi = window.screen()->logicalDotsPerInch();
        EXPECT_EQ(UserSetting(kLeft).toFloat(), static_cast<float>(PixelsToTwips(opened.x(), dpi)));
        EXPECT_EQ(UserSetting(kTop).toFloat(), static_cast<float>(PixelsToTwips(opened.y(), dpi)));
    }
}

TEST(WindowLifeCycle, AMinimisedWindowWritesTheSettingsButNotItsPosition) {
    WindowHarness harness;
    SetUserSetting(kLeft, QStringLiteral("2000"));
    Frm_Bivane& window = harness.start();
    window.show();
    window.move(300, 300);
    window.showMinimized();
    window.close();
    EXPECT_EQ(harness.readFile(kIni), kFirstStartFile);
    EXPECT_EQ(UserSetting(kLeft), QStringLiteral("2000"));
    EXPECT_EQ(UserSetting(kTop), QString());
}

TEST(WindowLifeCycle, AnUnreadableSettingsFileIsReportedKeptAndReplaced) {
    struct Row {
        const char* file;
        const char* problem;       // in the message
        std::int16_t port2Number;  // read before the problem, or built in
        bool port1Open;
    };
    const Row rows[] = {
        {"4,\"4800,n,8,1\"\r\n5,\"4800,n,8,1\"\r\n", "line 3: the file ends before", 5, true},
        {"4,\"4800,n,8,1\"\r\n0,\"4800,n,8,1\"\r\n", "line 2: the port number of port 2", 2, true},
        {"4,\"fast\"\r\n", "line 1: the settings text of port 1, \"\"fast\"\", cannot be used", 2,
         true},
        {"4,\"4800,n,8,1\"\r\n5,\"4800,n,8,1\"\r\n6,\"4800,n,8,1\"\r\n0,0\r\n0,0\r\nyes\r\n",
         "line 6: the heading output switch", 5, true},
    };
    for (const Row& row : rows) {
        WindowHarness harness;
        harness.writeFile(kIni, row.file);
        Frm_Bivane& window = harness.start();
        ASSERT_EQ(harness.prompts.messages.size(), 1u) << row.file;
        const QString text = harness.prompts.messages[0].text;
        EXPECT_TRUE(text.contains(harness.path(kIni))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(row.problem))) << text.toStdString();
        EXPECT_TRUE(text.contains(harness.path(kIni) + QStringLiteral(".bad")))
            << text.toStdString();
        EXPECT_EQ(harness.readFile(QStringLiteral("Bivane.ini.bad")), row.file);
        EXPECT_EQ(harness.port(2).portNumber(), row.port2Number) << row.file;
        EXPECT_EQ(harness.port(1).isOpen(), row.port1Open) << row.file;
        EXPECT_FALSE(harness.port(3).isOpen()) << row.file;
        window.close();
        const std::string rewritten = harness.readFile(kIni);
        EXPECT_EQ(rewritten.substr(0, 3), "4,\"") << "rewritten whole";
        EXPECT_EQ(std::count(rewritten.begin(), rewritten.end(), '\n'), 6);
    }
}

TEST(WindowLifeCycle, AProgramFolderThatCannotBeMadeIsReportedAndTheWindowStillCloses) {
    WindowHarness harness;
    harness.writeFile(QStringLiteral("plain-file"), "not a folder");
    const QString folder = harness.path(QStringLiteral("plain-file/NMEA"));
    Frm_Bivane& window = harness.start(MemoryPorts(), folder);
    ASSERT_EQ(harness.prompts.messages.size(), 1u);
    EXPECT_TRUE(harness.prompts.messages[0].text.contains(folder))
        << harness.prompts.messages[0].text.toStdString();

    window.show();
    window.close();
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(harness.prompts.messages.size(), 2u);
    const QString failure = harness.prompts.messages[1].text;
    EXPECT_TRUE(failure.startsWith(QStringLiteral("The settings file \"") + folder +
                                   QStringLiteral("/Bivane.ini\" cannot be written: ")))
        << failure.toStdString();
}

TEST(WindowLifeCycle, ASettingsFileInTheWayIsReportedAtStartAndAtClose) {
    WindowHarness harness;
    QDir().mkpath(harness.path(kIni));  // a folder where the file should be
    Frm_Bivane& window = harness.start();
    window.close();
    ASSERT_EQ(harness.prompts.messages.size(), 2u);
    EXPECT_TRUE(harness.prompts.messages[0].text.contains(QStringLiteral("cannot be read")));
    EXPECT_TRUE(harness.prompts.messages[1].text.contains(QStringLiteral("cannot be written")));
    EXPECT_FALSE(harness.port(1).isOpen());
}

TEST(WindowLifeCycle, FileExitClosesTheWindowAndWritesTheSettingsOnce) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    window.show();
    window.mnuFileExit_Click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(harness.readFile(kIni), kFirstStartFile);
    QFile::remove(harness.path(kIni));
    window.close();
    EXPECT_EQ(harness.readFile(kIni), "");
}

}  // namespace
}  // namespace bivane

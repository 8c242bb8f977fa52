#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "app/frm_about.h"
#include "app/frm_network.h"
#include "app/frm_offset.h"
#include "app/frm_setup.h"
#include "serial/user_settings.h"
#include "tests/app/first_start_file.h"
#include "tests/app/window_harness.h"

namespace bivane {
namespace {

using test::WindowHarness;

// Runs `act` on the modal dialog of type Dialog once it stands.
template <typename Dialog>
void whenShown(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<Dialog*>(widget); dialog && dialog->isVisible()) {
                act(*dialog);
                return;
            }
        }
        ADD_FAILURE() << "no dialog was shown";
    });
}

TEST(MenuCommands, TheOffsetDialogRecomputesTheBaselineOnTheWindow) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    whenShown<Frm_Offset>([](Frm_Offset& dialog) {
        dialog.txtY(1)->setText(QStringLiteral("3"));
        dialog.cmdOK()->click();
    });
    window.mnuSetupOffset_Click();
    EXPECT_DOUBLE_EQ(harness.state().OffsetY[1], 3.0);
    EXPECT_DOUBLE_EQ(harness.state().CalculatedBaseline, 3.0);
    const std::string calculated = window.label("lblCalculated")->text().toStdString();
    EXPECT_EQ(calculated, window.windowText().lblCalculated.text) << "the label shows the model";
    EXPECT_TRUE(calculated == "3.00 m" || calculated == "3,00 m") << calculated;
}

TEST(MenuCommands, TheSetupDialogOpensThePortsAndSwitchesTheOutput) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    ASSERT_FALSE(harness.port(1).isOpen()) << "no settings file: nothing open at start";
    whenShown<Frm_Setup>([](Frm_Setup& dialog) {
        dialog.chkHeadingOutput()->setChecked(true);
        dialog.cmdOK()->click();
    });
    window.mnuSetupComm_Click();
    EXPECT_TRUE(harness.state().HeadingOutput);
    for (int index = 1; index <= 3; ++index) {
        EXPECT_TRUE(harness.port(index).isOpen()) << "port " << index;
    }
    harness.receivePair(19);
    EXPECT_TRUE(harness.port(3).written().starts_with("$GPHDT,")) << "headings flow";

    whenShown<Frm_Setup>([](Frm_Setup& dialog) {
        dialog.chkHeadingOutput()->setChecked(false);
        dialog.cmdOK()->click();
    });
    window.mnuSetupComm_Click();
    EXPECT_FALSE(harness.port(3).isOpen());
    EXPECT_EQ(window.label("lblHDT")->text(), QStringLiteral("n/a")) << "shown at once";
}

const QString kIni = QStringLiteral("Bivane.ini");

TEST(MenuCommands, TheOffsetDialogConfirmedUnchangedKeepsEveryDigit) {
    // Laid out by hand: a file that already holds the values is not rewritten.
    const char* file =
        "1,\"4800,n,8,1\",2,\"4800,n,8,1\",3,\"4800,n,8,1\",0.004,-1.2345,2.5,0,#FALSE#\n";
    WindowHarness harness;
    harness.writeFile(kIni, file);
    Frm_Bivane& window = harness.start();
    const double correction = harness.state().HeadingCorrection;
    const double baseline = harness.state().CalculatedBaseline;
    whenShown<Frm_Offset>([](Frm_Offset& dialog) { dialog.cmdOK()->click(); });
    window.mnuSetupOffset_Click();
    EXPECT_EQ(harness.state().HeadingCorrection, correction);
    EXPECT_EQ(harness.state().CalculatedBaseline, baseline);
    EXPECT_EQ(harness.readFile(kIni), file);
    EXPECT_TRUE(harness.prompts.messages.empty());
}

TEST(MenuCommands, OkWritesTheFirstSettingsFileAndCancelWritesNothing) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    whenShown<Frm_Offset>([](Frm_Offset& dialog) { dialog.cmdCancel()->click(); });
    window.mnuSetupOffset_Click();
    EXPECT_FALSE(QFile::exists(harness.path(kIni)));
    // The built-in ports confirmed: the next start opens them.
    whenShown<Frm_Setup>([](Frm_Setup& dialog) { dialog.cmdOK()->click(); });
    window.mnuSetupComm_Click();
    EXPECT_EQ(harness.readFile(kIni), test::kFirstStartFile);
}

TEST(MenuCommands, ASettingsFileThatCannotBeWrittenAfterOkIsReportedAndWrittenAtClose) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    QDir().mkpath(harness.path(kIni));  // a folder in the file's way
    whenShown<Frm_Offset>([](Frm_Offset& dialog) {
        dialog.txtX(0)->setText(QStringLiteral("2.5"));
        dialog.cmdOK()->click();
    });
    window.mnuSetupOffset_Click();
    ASSERT_EQ(harness.prompts.messages.size(), 1u);
    EXPECT_TRUE(harness.prompts.messages[0].text.contains(QStringLiteral("cannot be written")))
        << harness.prompts.messages[0].text.toStdString();
    EXPECT_EQ(harness.state().OffsetX[0], 2.5) << "in use all the same";

    QDir().rmdir(harness.path(kIni));
    window.close();
    EXPECT_EQ(harness.readFile(kIni),
              "1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n2.5,0\r\n0,0\r\n"
              "#FALSE#\r\n");
}

TEST(MenuCommands, TheTimeDifferencePromptSetsTheTolerance) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    harness.prompts.answers.push_back(QStringLiteral("0,5"));
    window.mnuTimeDifference_Click();
    EXPECT_FLOAT_EQ(harness.state().TimeTolerance, 0.5f);
}

TEST(MenuCommands, TheNetworkDialogServesTheHeadingAndNamesAPortInUse) {
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost));
    const quint16 port = occupant.serverPort();
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    whenShown<Frm_Network>([port](Frm_Network& dialog) {
        dialog.chkTcp()->setChecked(true);
        dialog.txtTcpAddress()->setText(QStringLiteral("127.0.0.1"));
        dialog.txtTcpPort()->setText(QString::number(port));
        dialog.cmdOK_Click();
    });
    window.mnuSetupNetwork_Click();
    ASSERT_EQ(harness.prompts.messages.size(), 1U);
    const QString& text = harness.prompts.messages[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("127.0.0.1:%1").arg(port))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("in use"))) << text.toStdString();
    EXPECT_TRUE(ReadNetworkSettings(*OpenUserSettings()).tcpOn) << "stored all the same";

    // The port is free again: OK on the same values starts the server. Port
    // 3 is off, the network gets the heading all the same.
    occupant.close();
    whenShown<Frm_Network>([](Frm_Network& dialog) { dialog.cmdOK_Click(); });
    window.mnuSetupNetwork_Click();
    EXPECT_EQ(harness.prompts.messages.size(), 1U);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    std::string received;
    QElapsedTimer timer;
    timer.start();
    bool paired = false;
    while (timer.elapsed() < 5000 && received.find("\r\n") == std::string::npos) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!paired && window.tcpServer().clientCount() == 1) {
            EXPECT_TRUE(window.networkStatus().contains(QStringLiteral("1 client(s) connected")));
            harness.receivePair(19);
            paired = true;
        }
        received += client.readAll().toStdString();
    }
    EXPECT_TRUE(received.starts_with("$GPHDT,026.7,T*")) << received;
    EXPECT_FALSE(harness.state().HeadingOutput);
}

TEST(MenuCommands, TheAboutBoxClosesWithItsButton) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    bool shown = false;
    whenShown<frmAbout>([&shown](frmAbout& box) {
        shown = true;
        box.cmdOK()->click();
    });
    window.mnuAbout_Click();
    EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace bivane

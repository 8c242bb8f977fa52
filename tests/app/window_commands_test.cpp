// What the user does in the window: logging, the menu's dialogs and prompts,
// the recording, a signal at logout; and what it shows meanwhile.

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <csignal>

#include "app/frm_network.h"
#include "app/frm_offset.h"
#include "app/qt_user_prompts.h"
#include "app/signal_closer.h"
#include "serial/user_settings.h"
#include "tests/support/gga_lines.h"
#include "tests/support/replayed.h"
#include "tests/support/turning_epochs.h"
#include "tests/support/window_harness.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::ProcessEventsUntil;

const QString kIni = QStringLiteral("Bivane.ini");
// The built-in ports with the heading output on.
constexpr const char* kOutputOn =
    "1,\"4800,n,8,1\",2,\"4800,n,8,1\",3,\"4800,n,8,1\",0,0,0,0,#TRUE#\n";

TEST(Logging, StartAndStopNameTheFileWhichGetsEachHeadingAsItIsShown) {
    const QString started = QStringLiteral("Logging started. Data will be stored in file : ");
    const QString stopped = QStringLiteral("Logging stopped. Data stored in file : ");
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    harness.clock.time = {2026, 12, 5, 23, 45, 0};
    window.cmdLog_Click();
    const QString logFile = harness.path(QStringLiteral("log/Bivane 20261205-234500.log"));
    EXPECT_EQ(harness.prompts.texts(), QStringList{started + logFile});
    EXPECT_EQ(window.cmdLog()->text(), QStringLiteral("Stop Logging"));

    // Each heading is in the file as soon as it is shown.
    std::string shown;
    for (const int second : {1, 2}) {
        harness.receivePair(second);
        shown += harness.label("lblHDT") + "\r\n";
        EXPECT_EQ(ReadWholeFile(logFile), shown);
    }

    window.cmdLog_Click();
    EXPECT_EQ(harness.prompts.texts(), QStringList({started + logFile, stopped + logFile}));
    EXPECT_EQ(window.cmdLog()->text(), QStringLiteral("Start Logging"));
    harness.receivePair(13);
    EXPECT_EQ(ReadWholeFile(logFile), shown) << "nothing after the stop";
}

// What OK confirms is in the settings file at once, not only at the close: a
// program killed right after keeps it.
TEST(MenuCommands, WhatOkConfirmsIsInTheSettingsFileAtOnce) {
    WindowHarness harness;
    harness.writeFile(kIni, kLinesSettings);
    Frm_Bivane& window = harness.start();
    WhenShown<Frm_Offset>([](Frm_Offset& dialog) {
        dialog.txtX(0)->setText(QStringLiteral("0.004"));
        dialog.txtY(0)->setText(QStringLiteral("-1,2345 m"));
        dialog.txtX(1)->setText(QStringLiteral("2.5"));
        dialog.txtY(1)->setText(QStringLiteral("1e-3"));
        dialog.cmdOK()->click();
    });
    window.mnuSetupOffset_Click();
    const std::string ports = "11,\"4800,n,8,1\"\r\n12,\"4800,n,8,1\"\r\n13,\"4800,n,8,1\"\r\n";
    const std::string offsets = "0.004,-1.2345\r\n2.5,0.001\r\n";
    EXPECT_EQ(harness.readFile(kIni), ports + offsets + "#TRUE#\r\n");

    WhenShown<Frm_Setup>([](Frm_Setup& dialog) {
        dialog.cmbComport(1)->setCurrentText(QStringLiteral("COM 14"));
        dialog.cmbBaudRate(1)->setCurrentText(QStringLiteral("9600,n,8,1"));
        dialog.chkHeadingOutput()->setChecked(false);
        dialog.cmdOK()->click();
    });
    window.mnuSetupComm_Click();
    EXPECT_EQ(harness.readFile(kIni),
              "14,\"9600,n,8,1\"" + ports.substr(15) + offsets + "#FALSE#\r\n");
}

TEST(MenuCommands, TheNetworkDialogServesTheHeadingAndNamesAPortInUse) {
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost));
    const quint16 port = occupant.serverPort();
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    WhenShown<Frm_Network>([port](Frm_Network& dialog) {
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
    WhenShown<Frm_Network>([](Frm_Network& dialog) { dialog.cmdOK_Click(); });
    window.mnuSetupNetwork_Click();
    EXPECT_EQ(harness.prompts.messages.size(), 1U);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.tcpServer().clientCount() == 1; }, 5s));
    EXPECT_TRUE(window.networkStatus().contains(QStringLiteral("1 client(s) connected")));
    harness.receivePair(19);
    std::string received;
    ProcessEventsUntil(
        [&] {
            received += client.readAll().toStdString();
            return received.find("\r\n") != std::string::npos;
        },
        5s);
    EXPECT_TRUE(received.starts_with("$GPHDT,026.7,T*")) << received;
}

TEST(DecoderMessageBox, StandsWithoutStoppingReceptionOrTheHeadingOutput) {
    const auto satellites = [](int second, int count) {
        GgaFields fields;
        fields.time = "1235" + std::to_string(second) + ".00";
        fields.satellites = count;  // does not fit its field: the decoder reports it
        return GgaLine(fields);
    };
    const auto lines = [](const std::string& text) { return std::ranges::count(text, '\n'); };
    WindowHarness harness;
    harness.writeFile(kIni, kOutputOn);
    Frm_Bivane& window = harness.start();
    window.show();
    harness.port(2).receive(WindowHarness::FixPair(10).second);
    harness.port(1).receive(satellites(10, 40000));
    // The port event has returned, the box stands, and the cycle of the
    // same event has sent its sentence.
    QMessageBox* box = window.decoderMessages().shownBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    const QString firstText = box->text();
    EXPECT_EQ(lines(harness.port(3).written()), 1);
    for (int second = 11; second <= 15; ++second) {
        harness.receivePair(second);
    }
    EXPECT_EQ(lines(harness.port(3).written()), 6);

    // A newer failure takes over the one box.
    harness.port(1).receive(satellites(16, -40000));
    EXPECT_EQ(window.decoderMessages().shownBox(), box);
    EXPECT_NE(box->text(), firstText);
    EXPECT_EQ(window.findChildren<QMessageBox*>().size(), 1);
    window.close();
    EXPECT_EQ(window.decoderMessages().shownBox(), nullptr) << "closed with the window";
}

TEST(WindowText, TheHeadingGoesOutBeforeTheLabelsWhichFollowWhenTheLoopIsAboutToWait) {
    WindowHarness harness;
    harness.writeFile(kIni, kOutputOn);
    harness.start();
    const auto aboutToWait = [] { Q_EMIT QAbstractEventDispatcher::instance()->aboutToBlock(); };
    harness.receivePair(18);
    harness.port(3).clearWritten();
    const auto [gps1, gps2] = WindowHarness::FixPair(19);
    // GPS 1's next fix alone: the labels wait a moment for its partner.
    harness.port(1).receive(gps1);
    aboutToWait();
    EXPECT_TRUE(harness.window().textPending());
    EXPECT_EQ(harness.label("lblUTC", 1), "12:35:18.00");
    harness.port(2).receive(gps2);
    EXPECT_EQ(harness.port(3).written().substr(0, 7), "$GPHDT,");
    EXPECT_EQ(harness.label("lblGGA", 2) + "\r\n", WindowHarness::FixPair(18).second);
    aboutToWait();
    EXPECT_FALSE(harness.window().textPending());
    EXPECT_EQ(harness.label("lblHDT") + "\r\n", harness.port(3).written());
    EXPECT_EQ(harness.label("lblGGA", 1) + "\r\n", gps1);
}

TEST(SignalCloser, LogoutShutdownAndCtrlCCloseTheWindowAsFileExitDoesAfterAnOpenBox) {
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        WindowHarness harness;
        QtUserPrompts prompts;
        Frm_Bivane window(MemoryPorts(), prompts, harness.clock, harness.programFolder());
        prompts.setParentWidget(&window);
        window.Form_Load();
        window.show();
        SignalCloser closer([&window] { CloseForSignal(window); });
        QTimer::singleShot(50ms, [signalNumber] { ::raise(signalNumber); });
        window.cmdLog_Click();  // the start message waits for OK, until the signal
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_TRUE(ProcessEventsUntil([&] { return !window.isVisible(); }, 5s));
        EXPECT_TRUE(closer.received());
        EXPECT_EQ(harness.readFile(kIni), kFirstStartFile) << "signal " << signalNumber;
    }
}

TEST(Recording, ARecordingReplaysToTheSentencesTheWindowSent) {
    WindowHarness harness;
    SetUserSetting(QStringLiteral("Output/Sentences"), QStringLiteral("HDT,THS,ROT"));
    // The offsets give the baseline of the fixes (5 m), so THS says A.
    harness.writeFile(kIni, "1,\"4800,n,8,1\",2,\"4800,n,8,1\",3,\"4800,n,8,1\",0,0,0,5,#TRUE#\n");
    Frm_Bivane& window = harness.start();
    const QString path = harness.path(QStringLiteral("input.capture"));
    harness.prompts.answers.emplace_back(path);
    window.mnuFileRecord_Click();
    ASSERT_TRUE(window.recorder().isRecording());
    for (int second = 0; second < 12; ++second) {
        auto [gps1, gps2] = EpochPair(second);
        if (second == 3) {
            gps1.insert(0, std::string("\x00\xB0\xFFnoise\r\n", 10));
        }
        if (second == 7) {
            gps2[30] ^= 1;  // a checksum error
        }
        harness.port(1).receive(gps1.substr(0, 17));  // split in two events
        harness.port(1).receive(gps1.substr(17));
        harness.port(2).receive(gps2);
        harness.settle();
    }
    window.mnuFileRecord_Click();
    EXPECT_FALSE(window.recorder().isRecording());

    // Port 3 also got ROT, which the replay does not send.
    const std::string& written = harness.port(3).written();
    std::string sent;
    for (std::size_t at = 0, end; at < written.size(); at = end) {
        end = written.find('\n', at) + 1;
        if (written.compare(at, 6, "$GPROT") != 0) {
            sent += written.substr(at, end - at);
        }
    }
    EXPECT_EQ(Replayed(QStringLiteral(NMEA_BIVANE_REPLAY), path), sent);
    // An HDT and THS for each epoch but the checksum error's, which gets a
    // THS that says not valid.
    const auto count = [&sent](const char* what) {
        return QString::fromStdString(sent).count(QLatin1String(what));
    };
    EXPECT_EQ(count("$GPHDT,"), 11) << sent;
    EXPECT_EQ(count(",A*"), 11) << sent;
    EXPECT_EQ(count("$GPTHS,,V"), 1) << sent;
}

}  // namespace
}  // namespace bivane::test

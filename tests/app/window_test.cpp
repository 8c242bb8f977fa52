// The main window on the offscreen platform, its ports in memory.

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <csignal>

#include "app/frm_about.h"
#include "app/frm_network.h"
#include "app/frm_offset.h"
#include "app/frm_output.h"
#include "app/frm_setup.h"
#include "app/qt_user_prompts.h"
#include "app/signal_closer.h"
#include "nmea/hdt.h"
#include "serial/user_settings.h"
#include "tests/support/gga_lines.h"
#include "tests/support/replayed.h"
#include "tests/support/turning_epochs.h"
#include "tests/support/window_harness.h"

namespace bivane::test {
namespace {

// What the user does in the window: logging, the menu's dialogs and prompts,
// the recording, a signal at logout; and what it shows meanwhile.

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
    Frm_Bivane& window = harness.startOnLines();
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

    // The port is free again: OK on the same values starts the server, and
    // the heading of a port event on the input thread reaches it.
    occupant.close();
    WhenShown<Frm_Network>([](Frm_Network& dialog) { dialog.cmdOK_Click(); });
    window.mnuSetupNetwork_Click();
    EXPECT_EQ(harness.prompts.messages.size(), 1U);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(ProcessEventsUntil([&] { return window.tcpServer().clientCount() == 1; }, 5s));
    EXPECT_TRUE(window.networkStatus().contains(QStringLiteral("1 client(s) connected")));
    ASSERT_TRUE(harness.sendEpoch(1));
    std::string received;
    ProcessEventsUntil(
        [&] {
            received += client.readAll().toStdString();
            return received.find("\r\n") != std::string::npos;
        },
        5s);
    EXPECT_EQ(received, harness.label("lblHDT") + "\r\n");
    EXPECT_TRUE(received.starts_with("$GPHDT,")) << received;
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

TEST(WindowText, TheHeadingGoesOutBeforeTheLabelsWhichFollowWhenTheLoopHasWaitedAMoment) {
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
    EXPECT_TRUE(harness.window().textPending()) << "the labels wait a moment after a heading";
    EXPECT_TRUE(ProcessEventsUntil([&] { return !harness.window().textPending(); }, 1s));
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

// Every control of the window and of each dialog shows whole: it lies inside
// the widget it stands in, its text fits it, and it overlaps no sibling.

QString describe(const QWidget& widget) {
    return widget.objectName().isEmpty() ? QLatin1String(widget.metaObject()->className())
                                         : widget.objectName();
}

// The room `widget` needs to show its text whole; nothing for a control
// without text of its own.
std::optional<QSize> neededRoom(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (label->wordWrap()) {
            return QSize(widget.width(), label->heightForWidth(widget.width()));
        }
        return label->fontMetrics().size(0, label->text());
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(&widget)) {
        // Any width: the box scrolls.
        return QSize(0, box->fontMetrics().height() +
                            2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    }
    if (qobject_cast<const QCheckBox*>(&widget) != nullptr ||
        qobject_cast<const QComboBox*>(&widget) != nullptr) {
        return QSize(widget.sizeHint().width(), 0);
    }
    return std::nullopt;
}

// Where `widget` puts paint in its parent: a label's glyphs, else the whole control.
QRect ink(const QWidget& widget) {
    const auto* label = qobject_cast<const QLabel*>(&widget);
    if (label == nullptr || label->wordWrap() || label->text().isEmpty()) {
        return widget.geometry();
    }
    const QFontMetrics metrics(label->font());
    return metrics.tightBoundingRect(label->text())
        .translated(widget.pos() + QPoint(0, metrics.ascent()));
}

// Every fault of the widget tree under `top`, in words. A received sentence
// (lblGGA) may run on past the window's edge.
QStringList LayoutFaults(const QWidget& top) {
    QList<const QWidget*> controls;
    for (const QWidget* control : top.findChildren<QWidget*>()) {
        if (control->isVisibleTo(&top) && !control->isWindow()) {
            controls << control;
        }
    }
    QStringList faults;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget& control = *controls[i];
        const std::optional<QSize> needed = neededRoom(control);
        if (needed && (needed->width() > control.width() || needed->height() > control.height())) {
            faults << describe(control) + QStringLiteral(" is too small for its text");
        }
        if (!control.parentWidget()->rect().contains(control.geometry()) &&
            !control.objectName().startsWith(QStringLiteral("lblGGA"))) {
            faults << describe(control) + QStringLiteral(" is cut off");
        }
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget& other = *controls[j];
            if (other.parentWidget() != control.parentWidget()) {
                continue;
            }
            // Frames may share their one-pixel border.
            const QRect common = ink(control).intersected(ink(other));
            const bool frames = qobject_cast<const QGroupBox*>(&control) != nullptr &&
                                qobject_cast<const QGroupBox*>(&other) != nullptr;
            if (!common.isEmpty() && !(frames && std::min(common.width(), common.height()) <= 1)) {
                faults << describe(control) + QStringLiteral(" overlaps ") + describe(other);
            }
        }
    }
    return faults;
}

std::string withChecksum(const std::string& sentence) {
    return sentence + "*" + NmeaChecksum(sentence + "*") + "\r\n";
}

TEST(Layout, NothingInTheWindowIsCutOffOrOverlapsWithInitialAndTypicalTexts) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(LayoutFaults(window), QStringList()) << "initial texts";

    // Two differential receivers a few metres apart, one satellite and the
    // age apart: every label of the panels filled, some of them red, and C-O
    // with its angle.
    harness.state().CalculatedBaseline = 5;
    harness.port(1).receive(
        withChecksum("$GPGGA,123519.00,4807.0380,N,01131.0000,E,2,08,0.9,545.4,M,46.9,M,2.0,0031"));
    harness.port(2).receive(
        withChecksum("$GPGGA,123519.00,4807.0400,N,01131.0030,E,2,09,1.1,546.9,M,46.9,M,8.0,0031"));
    harness.settle();
    ASSERT_NE(window.windowText().lblHDT.text, "NMEA Output - HDT message");
    EXPECT_EQ(LayoutFaults(window), QStringList()) << "differential fixes and C-O";

    // The receivers out of step: "OLD" under the heading; a port lost.
    harness.receivePair(21, 50);
    window.engine().portLost(2);
    harness.settle();
    ASSERT_TRUE(window.label("lblOld")->isVisibleTo(&window));
    ASSERT_NE(window.windowText().lblError.text, "No error messages  ");
    EXPECT_EQ(LayoutFaults(window), QStringList()) << "a heading, stale fixes and a lost port";
}

TEST(Layout, NothingInADialogIsCutOffOrOverlaps) {
    QWidget owner;
    CompassState state;
    state.HeadingOutput = true;
    state.OffsetY = {-12.5, 123.456};
    MainWindowText text;
    ScriptedPrompts prompts;
    std::array<MemoryPort, 3> ports{MemoryPort(16), MemoryPort(2), MemoryPort(3)};
    ports[1].setSettings("921600,n,8,1");
    const NetworkSettings network{true, {}, true, {QStringLiteral("192.168.100.255"), 10110}};
    std::vector<std::unique_ptr<QDialog>> dialogs;
    dialogs.push_back(std::make_unique<Frm_Setup>(
        &owner, std::array<SerialPort*, 3>{&ports[0], &ports[1], &ports[2]}, state, text, prompts,
        nullptr));
    dialogs.push_back(std::make_unique<Frm_Offset>(&owner, state, text, prompts, ','));
    dialogs.push_back(std::make_unique<frmAbout>(&owner));
    dialogs.push_back(std::make_unique<Frm_Output>(
        &owner, OutputSettings{{HeadingSentence::Hdt, HeadingSentence::Rot}, 0.123456789}, prompts,
        '.'));
    dialogs.push_back(std::make_unique<Frm_Network>(&owner, network, prompts, [] {
        return QStringLiteral("TCP: 2 client(s) connected\nUDP: 21 datagrams sent");
    }));
    for (const auto& dialog : dialogs) {
        dialog->show();
        EXPECT_EQ(LayoutFaults(*dialog), QStringList()) << describe(*dialog).toStdString();
        dialog->close();
    }
}

}  // namespace
}  // namespace bivane::test

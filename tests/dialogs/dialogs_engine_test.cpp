// While a dialog is open, the port events and heading cycles go on: the
// heading engine on serial ports on pseudo-terminals.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/frm_about.h"
#include "app/frm_offset.h"
#include "app/frm_setup.h"
#include "app/qt_user_prompts.h"
#include "app/time_tolerance_prompt.h"
#include "engine/heading_engine.h"
#include "heading/baseline.h"
#include "tests/dialogs/dialog_test_support.h"
#include "tests/dialogs/ports_on_lines.h"
#include "tests/support/engine_fakes.h"
#include "tests/support/gga_lines.h"

namespace bivane {
namespace {

using namespace std::chrono_literals;

class DialogsAndEngine : public ::testing::Test, protected test::DialogSurroundings {
  protected:
    DialogsAndEngine() {
        for (int index = 1; index <= 3; ++index) {
            EXPECT_TRUE(port(index).open().ok());
        }
        engine.state().HeadingOutput = true;
        engine.state().OffsetY = {0, 5};
        EXPECT_EQ(CalculateBaseline(engine.state(), engine.text(), '.'), std::nullopt);
    }

    test_support::PseudoTerminal& line(int number) { return lines.line(number); }
    QtSerialPort& port(int index) { return lines.port(index); }

    // Both receivers send their fix of second `second`: GPS 2 stands 5 m from
    // GPS 1, bearing 026.7, as the antenna offsets have it.
    void sendPair(int second) {
        test::GgaFields gps1;
        gps1.time = "1235" + std::to_string(10 + second % 50) + ".00";
        test::GgaFields gps2 = gps1;
        gps2.latitudeDegrees += 0.00004;
        gps2.longitudeDegrees += 0.00003;
        line(1).send(test::GgaLine(gps1));
        line(2).send(test::GgaLine(gps2));
    }

    // Runs `openDialog`, which shows a modal dialog and returns when it
    // closes. While it stands, pairs of fixes arrive every 20 ms; once port 3
    // has sent two HDT sentences the dialog is closed (as Esc or Cancel
    // would). Gives what port 3 sent while the dialog stood.
    std::string headingOutputWhileOpen(const std::function<void()>& openDialog) {
        std::string sent;
        int second = 0;
        QTimer feed;
        QObject::connect(&feed, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible()) {
                return;
            }
            sent += line(3).receive(0ms);
            if (sent.find("$GPHDT", sent.find("$GPHDT") + 1) != std::string::npos || second > 100) {
                dialog->reject();
                return;
            }
            sendPair(second++);
        });
        feed.start(20);
        openDialog();
        return sent;
    }

    test::PortsOnLines lines;
    test::FixedClock clock;
    test::RecordingOutput logFile;
    test::RecordingSink decoderMessages;
    HeadingEngine engine{{.ports = {&port(1), &port(2), &port(3)},
                          .logFile = &logFile,
                          .decoderMessages = &decoderMessages,
                          .clock = &clock}};
};

TEST_F(DialogsAndEngine, HeadingsGoOutOnPortThreeWhileEachDialogIsOpen) {
    QtUserPrompts qtPrompts;
    qtPrompts.setParentWidget(&owner);
    const struct {
        const char* legend;
        std::function<void()> open;
    } rows[] = {
        {"comm setup",
         [&] {
             Frm_Setup dialog(&owner, lines.all(), engine.state(), engine.text(), prompts,
                              &lines.devices);
             dialog.exec();
         }},
        {"antenna offsets",
         [&] {
             Frm_Offset dialog(&owner, engine.state(), engine.text(), prompts, '.');
             dialog.exec();
         }},
        {"about box",
         [&] {
             frmAbout box(&owner);
             box.exec();
         }},
        {"time-difference prompt", [&] { AskTimeTolerance(qtPrompts, engine.state(), '.'); }},
    };
    for (const auto& row : rows) {
        const std::string sent = headingOutputWhileOpen(row.open);
        EXPECT_NE(sent.find("$GPHDT,026.7,T*"), std::string::npos) << row.legend << ": " << sent;
        EXPECT_TRUE(decoderMessages.messages.empty()) << row.legend;
        EXPECT_TRUE(port(1).isOpen() && port(2).isOpen() && port(3).isOpen()) << row.legend;
    }
}

}  // namespace
}  // namespace bivane

#include "app/signal_closer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <csignal>

#include "app/qt_user_prompts.h"
#include "tests/app/window_harness.h"
#include "tests/serial_qt/pseudo_terminal.h"

namespace bivane {
namespace {

using namespace std::chrono_literals;
using test::WindowHarness;
using test_support::ProcessEventsUntil;

TEST(SignalCloser, LogoutShutdownAndCtrlCCloseTheWindowAsFileExitDoes) {
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        WindowHarness harness;
        Frm_Bivane& window = harness.start();
        window.show();
        SignalCloser closer([&window] { CloseForSignal(window); });
        ::raise(signalNumber);
        EXPECT_TRUE(ProcessEventsUntil([&] { return !window.isVisible(); }, 5s))
            << "signal " << signalNumber;
        EXPECT_TRUE(closer.received());
        EXPECT_EQ(harness.readFile(QStringLiteral("Bivane.ini")).size(), 67u)
            << "signal " << signalNumber;
    }
}

TEST(SignalCloser, AnOpenMessageBoxGoesFirst) {
    WindowHarness harness;
    QtUserPrompts prompts;
    Frm_Bivane window(test::MemoryPorts(), prompts, harness.clock, harness.programFolder());
    prompts.setParentWidget(&window);
    window.Form_Load();
    window.show();
    SignalCloser closer([&window] { CloseForSignal(window); });
    QTimer::singleShot(50ms, [] { ::raise(SIGTERM); });
    window.cmdLog_Click();  // the start message waits for OK, until the signal
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(ProcessEventsUntil([&] { return !window.isVisible(); }, 5s));
    EXPECT_EQ(harness.readFile(QStringLiteral("Bivane.ini")).size(), 67u);
}

}  // namespace
}  // namespace bivane

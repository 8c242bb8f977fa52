// The main window as the program makes it, in a process of its own for the
// tests that kill it. The first argument says what it does after start-up,
// the rest are the program's (--program-folder DIR, --com N=DEVICE ...):
//   offsets X1 Y1 X2 Y2: types the texts into the antenna offset dialog's
//     boxes and presses OK;
//   comm N S on|off: chooses COM N and settings S for GPS 1's port and sets
//     the heading output in the comm setup dialog and presses OK;
//     after a dialog it prints "ok" once the menu command has returned.
// Its message boxes go to the standard error and wait for nobody.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/frm_bivane.h"
#include "app/frm_offset.h"
#include "app/frm_setup.h"
#include "runtime/command_line.h"
#include "runtime/port_factory.h"
#include "runtime/system_clock.h"

namespace {

class PrintedPrompts final : public bivane::UserPrompts {
  public:
    void message(const QString& title, const QString& text) override {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFile(const QString&, const QString&) override {
        return std::nullopt;
    }
};

void say(const QString& text) {
    std::printf("%s\n", qUtf8Printable(text));
    std::fflush(stdout);
}

// Runs `act` every millisecond while the event loop runs.
void everyMillisecond(QTimer& timer, const std::function<void()>& act) {
    QObject::connect(&timer, &QTimer::timeout, &timer, act);
    timer.start(1);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList arguments = application.arguments();
    const QString action = arguments.value(1);
    const qsizetype count = action == QStringLiteral("offsets") ? 4
                            : action == QStringLiteral("comm")  ? 3
                                                                : 0;
    const QStringList values = arguments.mid(2, count);
    arguments.remove(1, 1 + count);
    bivane::ComPortMap ports;
    const bivane::CommandLine commandLine = bivane::ParseCommandLine(arguments, ports);
    if (!commandLine.error.isEmpty() || values.size() != count) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(commandLine.error));
        return 2;
    }
    bivane::SystemClock clock;
    PrintedPrompts prompts;
    bivane::Frm_Bivane window(bivane::QtPortFactory(ports), prompts, clock,
                              commandLine.programFolder);
    window.Form_Load();

    QTimer look;
    if (action == QStringLiteral("offsets")) {
        everyMillisecond(look, [&] {
            if (auto* dialog = window.findChild<bivane::Frm_Offset*>();
                dialog && dialog->isVisible()) {
                look.stop();
                dialog->txtX(0)->setText(values[0]);
                dialog->txtY(0)->setText(values[1]);
                dialog->txtX(1)->setText(values[2]);
                dialog->txtY(1)->setText(values[3]);
                dialog->cmdOK()->click();
            }
        });
        window.mnuSetupOffset_Click();
        say(QStringLiteral("ok"));
    } else if (action == QStringLiteral("comm")) {
        everyMillisecond(look, [&] {
            if (auto* dialog = window.findChild<bivane::Frm_Setup*>();
                dialog && dialog->isVisible()) {
                look.stop();
                dialog->cmbComport(1)->setCurrentText(QStringLiteral("COM ") + values[0]);
                dialog->cmbBaudRate(1)->setCurrentText(values[1]);
                dialog->chkHeadingOutput()->setChecked(values[2] == QStringLiteral("on"));
                dialog->cmdOK()->click();
            }
        });
        window.mnuSetupComm_Click();
        say(QStringLiteral("ok"));
    } else {
        std::fprintf(stderr, "unknown action \"%s\"\n", qUtf8Printable(action));
        return 2;
    }
    // Waits, as the window does, until it is killed.
    return QApplication::exec();
}

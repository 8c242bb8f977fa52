// The main window as the program makes it, in a process of its own for the
// tests that kill it. The first argument says what it does after start-up,
// the rest are the program's (--program-folder DIR, --com N=DEVICE ...):
//   log: starts logging, prints "log <file>", then "shown <sentence>" for
//     every heading sentence as soon as the window shows it;
//   offsets X1 Y1 X2 Y2: types the texts into the antenna offset dialog's
//     boxes and presses OK;
//   comm N S on|off: chooses COM N and settings S for GPS 1's port and sets
//     the heading output in the comm setup dialog and presses OK;
//     after a dialog it prints "ok" once the menu command has returned.
// Its message boxes go to the standard error and wait for nobody.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/frm_bivane.h"
#include "app/frm_offset.h"
#include "app/frm_setup.h"
#include "app/user_prompts.h"
#include "heading/compass_state.h"
#include "runtime/command_line.h"
#include "runtime/data_logger.h"
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

// Runs the menu command `open`, `fill` on its dialog once it shows, and OK.
template <typename Dialog>
void confirmDialog(bivane::Frm_Bivane& window, void (bivane::Frm_Bivane::*open)(),
                   const std::function<void(Dialog&)>& fill) {
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &look, [&] {
        auto* dialog = window.findChild<Dialog*>();
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        look.stop();
        fill(*dialog);
        dialog->cmdOK()->click();
    });
    look.start(10);
    (window.*open)();
    std::printf("ok\n");
    std::fflush(stdout);
}

int log(bivane::Frm_Bivane& window, bivane::CompassState& state) {
    window.cmdLog_Click();
    if (!state.Logging) {
        return 1;
    }
    std::printf("log %s%s\n", bivane::LogFolder(state.ProgramFolder).c_str(),
                state.LogFileName.c_str());
    std::fflush(stdout);

    // A look every millisecond sees each heading of epochs that come no
    // faster than that; of a quicker burst it may see only some.
    QLabel* shown = window.label("lblHDT");
    QString last = shown->text();
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &look, [&] {
        if (shown->text() != last) {
            last = shown->text();
            std::printf("shown %s\n", qUtf8Printable(last));
            std::fflush(stdout);
        }
    });
    look.start(1);
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList arguments = application.arguments();
    const QString action = arguments.value(1);
    const int actionArguments = action == QStringLiteral("offsets") ? 4
                                : action == QStringLiteral("comm")  ? 3
                                                                    : 0;
    const QStringList values = arguments.mid(2, actionArguments);
    arguments.remove(1, 1 + actionArguments);

    bivane::ComPortMap ports;
    const bivane::CommandLine commandLine = bivane::ParseCommandLine(arguments, ports);
    if (!commandLine.error.isEmpty() || values.size() != actionArguments) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(commandLine.error));
        return 2;
    }
    bivane::SystemClock clock;
    PrintedPrompts prompts;
    bivane::Frm_Bivane window(bivane::QtPortFactory(ports), prompts, clock,
                              commandLine.programFolder);
    window.Form_Load();

    if (action == QStringLiteral("log")) {
        return log(window, window.state());
    }
    if (action == QStringLiteral("offsets")) {
        confirmDialog<bivane::Frm_Offset>(window, &bivane::Frm_Bivane::mnuSetupOffset_Click,
                                          [&values](bivane::Frm_Offset& dialog) {
                                              dialog.txtX(0)->setText(values[0]);
                                              dialog.txtY(0)->setText(values[1]);
                                              dialog.txtX(1)->setText(values[2]);
                                              dialog.txtY(1)->setText(values[3]);
                                          });
    } else if (action == QStringLiteral("comm")) {
        confirmDialog<bivane::Frm_Setup>(
            window, &bivane::Frm_Bivane::mnuSetupComm_Click, [&values](bivane::Frm_Setup& dialog) {
                dialog.cmbComport(1)->setCurrentText(QStringLiteral("COM ") + values[0]);
                dialog.cmbBaudRate(1)->setCurrentText(values[1]);
                dialog.chkHeadingOutput()->setChecked(values[2] == QStringLiteral("on"));
            });
    } else {
        std::fprintf(stderr, "unknown action \"%s\"\n", qUtf8Printable(action));
        return 2;
    }
    // Waits, as the window does, until it is killed.
    return QApplication::exec();
}

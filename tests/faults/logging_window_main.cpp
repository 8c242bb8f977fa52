// The main window as the program makes it, with logging switched on as by its
// button right after the start-up, for the test that kills it. Arguments as
// the program's (--program-folder DIR, --com N=DEVICE ...). It prints
//   log <path of the log file>
// once logging runs, then
//   shown <sentence>
// for every heading sentence the window shows, as soon as it shows it. Its
// message boxes go to the standard error and wait for nobody.

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdio>

#include "app/command_line.h"
#include "app/data_logger.h"
#include "app/frm_bivane.h"
#include "app/port_factory.h"
#include "app/system_clock.h"
#include "app/user_prompts.h"
#include "heading/compass_state.h"

namespace {

class PrintedPrompts final : public bivane::UserPrompts {
  public:
    void message(const QString& title, const QString& text) override {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    bivane::ComPortMap ports;
    const bivane::CommandLine commandLine =
        bivane::ParseCommandLine(application.arguments(), ports);
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(commandLine.error));
        return 2;
    }
    bivane::CompassState state;
    bivane::SystemClock clock;
    PrintedPrompts prompts;
    bivane::Frm_Bivane window(state, bivane::QtPortFactory(ports), prompts, clock,
                              commandLine.programFolder);
    window.Form_Load();
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

#include <QApplication>
#include <cstdio>
#include <fstream>

#include "app/frm_bivane.h"
#include "app/qt_user_prompts.h"
#include "runtime/command_line.h"
#include "runtime/port_factory.h"
#ifdef Q_OS_UNIX
#include "app/signal_closer.h"
#endif
#include "engine/labels_json.h"
#include "runtime/system_clock.h"
#include "runtime/threaded_input.h"
#include "serial/com_port_map.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("nmea-bivane"));

    bivane::ComPortMap comPorts;
    const bivane::CommandLine commandLine = bivane::ParseCommandLine(app.arguments(), comPorts);
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "nmea-bivane: %s\n\n%s", qUtf8Printable(commandLine.error),
                     qUtf8Printable(bivane::CommandLineUsage()));
        return 2;
    }
    if (commandLine.help) {
        std::printf("%s", qUtf8Printable(bivane::CommandLineUsage()));
        return 0;
    }

    bivane::SystemClock clock;
    bivane::QtUserPrompts prompts;
    // Before the window, which closes its ports before the thread ends.
    const auto threadedInput = bivane::ThreadedInput::start();
    bivane::Frm_Bivane window(
        bivane::QtPortFactory(comPorts, threadedInput ? &threadedInput->thread() : nullptr),
        prompts, clock, commandLine.programFolder);
    window.setDeviceNames(&comPorts);
    window.setInputThread(threadedInput ? &threadedInput->thread() : nullptr);
    window.setNetworkForThisRun(commandLine.tcp, commandLine.udp);
    prompts.setParentWidget(&window);
#ifdef Q_OS_UNIX
    bivane::SignalCloser closer([&window] { bivane::CloseForSignal(window); });
    const auto closedBySignal = [&closer] { return closer.received(); };
#else
    const auto closedBySignal = [] { return false; };
#endif

    window.Form_Load();
    if (!commandLine.record.isEmpty()) {
        window.startRecording(commandLine.record, commandLine.recordMaxMb);
    }
    int result = 0;
    if (!closedBySignal()) {
        window.show();
        result = QApplication::exec();
    }
    if (!commandLine.screenshot.isEmpty() && !window.grab().save(commandLine.screenshot, "PNG")) {
        std::fprintf(stderr, "nmea-bivane: cannot save the screenshot %s\n",
                     qUtf8Printable(commandLine.screenshot));
    }
    if (!commandLine.labels.isEmpty()) {
        std::ofstream labels(commandLine.labels.toStdString(), std::ios::binary);
        labels << bivane::LabelsJson(window.windowText());
        labels.close();
        if (!labels) {
            std::fprintf(stderr, "nmea-bivane: cannot write the labels to %s\n",
                         qUtf8Printable(commandLine.labels));
            result = result != 0 ? result : 1;
        }
    }
    return result;
}

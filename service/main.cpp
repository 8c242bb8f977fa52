// nmea-bivaned: the heading without a window, for a boat computer without a
// screen. Status goes to standard error, one line each (the journal keeps
// it); SIGTERM and SIGINT end it cleanly, SIGHUP reads the settings again.

#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "runtime/command_line.h"
#include "runtime/port_factory.h"
#include "runtime/signal_watcher.h"
#include "runtime/system_clock.h"
#include "runtime/threaded_input.h"
#include "serial/com_port_map.h"
#include "service/heading_service.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    bivane::ComPortMap devices;
    const bivane::CommandLine commandLine =
        bivane::ParseCommandLine(app.arguments(), devices, bivane::Program::Service);
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "nmea-bivaned: %s\n\n%s", qUtf8Printable(commandLine.error),
                     qUtf8Printable(bivane::CommandLineUsage(bivane::Program::Service)));
        return 2;
    }
    if (commandLine.help) {
        std::printf("%s", qUtf8Printable(bivane::CommandLineUsage(bivane::Program::Service)));
        return 0;
    }

    const auto status = [](const QString& line) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(line));
        std::fflush(stderr);
    };
    bivane::SystemClock clock;
    // Before the service, which closes its ports before the thread ends.
    const auto threadedInput = bivane::ThreadedInput::start();
    bivane::HeadingService service(
        bivane::QtPortFactory(devices, threadedInput ? &threadedInput->thread() : nullptr), devices,
        clock, commandLine, status);
    bivane::SignalWatcher signals([&](int signal) {
        if (signal == SIGHUP) {
            service.reload();
            return;
        }
        signals.restoreDefaults();  // a second one ends a program that hangs
        QCoreApplication::quit();
    });
    if (const auto reason = service.start()) {
        status(QStringLiteral("nmea-bivaned cannot run: ") + *reason);
        return 1;
    }
    const int result = QCoreApplication::exec();
    service.stop();
    return result;
}

// nmea-bivane-sim: two simulated GPS receivers and a listener that scores the
// heading program's HDT and THS output. See --help.

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tools/sim/epoch_ledger.h"
#include "tools/sim/hdt_listener.h"
#include "tools/sim/launcher.h"
#include "tools/sim/options.h"
#include "tools/sim/pty_device.h"
#include "tools/sim/run_report.h"
#include "tools/sim/simulation.h"

namespace bivane::sim {
namespace {

// How long to wait for heading sentences after the last epoch.
constexpr auto kGrace = std::chrono::milliseconds(500);
// How long a launched program may take to open its ports, and how long it
// then gets to start reading them.
constexpr auto kOpenWait = std::chrono::seconds(20);
constexpr auto kSettle = std::chrono::milliseconds(300);
constexpr auto kKillAfter = std::chrono::seconds(10);

sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int number : {SIGINT, SIGTERM, SIGHUP, SIGCHLD}) {
        sigaddset(&set, number);
    }
    return set;
}

// Waits up to `timeout` for one of the blocked signals; true for a signal
// that ends the run (not SIGCHLD).
bool stopSignalWithin(std::chrono::milliseconds timeout) {
    const sigset_t set = stopSignals();
    const timespec wait{static_cast<time_t>(timeout.count() / 1000),
                        static_cast<long>(timeout.count() % 1000) * 1'000'000};
    const int number = sigtimedwait(&set, nullptr, &wait);
    return number == SIGINT || number == SIGTERM || number == SIGHUP;
}

enum class Ending { None, Signal, ProgramEnded, Finished };

// Waits until `done` is true, a stop signal arrives or the launched program
// ends; for at most `limit`.
template <typename Done>
Ending waitFor(Done done, std::chrono::milliseconds limit, LaunchedProgram* program) {
    const auto deadline = SteadyClock::now() + limit;
    while (SteadyClock::now() < deadline) {
        if (done()) {
            return Ending::Finished;
        }
        if (stopSignalWithin(std::chrono::milliseconds(20))) {
            return Ending::Signal;
        }
        if (program != nullptr && program->ended()) {
            return Ending::ProgramEnded;
        }
    }
    return Ending::None;
}

void writeReport(const std::string& path, const RunSummary& summary) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << ReportJson(summary);
    file.close();
    if (!file) {
        throw std::runtime_error("cannot write the report " + path);
    }
}

int run(const SimOptions& options) {
    const sigset_t signals = stopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    PtyDevice gps1;
    PtyDevice gps2;
    PtyDevice heading;
    const std::vector<std::string> devices{gps1.slaveName(), gps2.slaveName(), heading.slaveName()};
    std::printf("GPS1=%s\nGPS2=%s\nHEADING=%s\n", devices[0].c_str(), devices[1].c_str(),
                devices[2].c_str());
    std::fflush(stdout);

    const auto expects = [&](const char* name) {
        return std::find(options.sentences.begin(), options.sentences.end(), name) !=
               options.sentences.end();
    };
    const ExpectedSentences expected{expects("HDT"), expects("THS"), expects("ROT")};
    // Port 3 always; the network too when asked (its port taken before the
    // program starts sending). Each scores against a ledger of its own.
    EpochLedger portLedger(expected);
    HdtListener portListener(heading.master(), portLedger);
    EpochLedger networkLedger(expected);
    std::unique_ptr<HdtListener> networkListener;
    if (options.listenTcpPort != 0) {
        networkListener = std::make_unique<HdtListener>(
            TcpEndpoint{options.listenTcpHost, options.listenTcpPort}, networkLedger);
    } else if (options.listenUdpPort != 0) {
        networkListener =
            std::make_unique<HdtListener>(UdpPort{options.listenUdpPort}, networkLedger);
    }

    std::unique_ptr<LaunchedProgram> program;
    if (options.launch) {
        const char* path = std::getenv("PATH");
        const std::string found =
            FindProgram(options.programPath, SelfExecutablePath(), path != nullptr ? path : "");
        if (found.empty()) {
            throw std::runtime_error(options.programPath.empty()
                                         ? "nmea-bivane not found (give --program PATH)"
                                         : "--program " + options.programPath +
                                               " is no executable file");
        }
        const std::string folder = PrepareProgramFolder(options.programFolder, options);
        std::fprintf(stderr, "nmea-bivane-sim: program folder %s\n", folder.c_str());
        program = std::make_unique<LaunchedProgram>(
            found, ProgramArguments(folder, devices, options.programArguments), folder + "/config");
    }
    portListener.start();
    std::vector<EpochLedger*> ledgers{&portLedger};
    if (networkListener) {
        networkListener->start();
        ledgers.push_back(&networkLedger);
    }
    Simulation simulation(options, {gps1.master(), gps2.master()}, ledgers);

    Ending ending = Ending::None;
    if (program || options.waitForPid != 0 || options.listenTcpPort != 0) {
        const auto holdsOpen = [&] {
            if (program) {
                return program->holdsOpen(devices);
            }
            return options.waitForPid == 0 ||
                   ProcessHoldsOpen(static_cast<pid_t>(options.waitForPid), devices);
        };
        const auto ready = [&] {
            return holdsOpen() && (!networkListener || networkListener->connected());
        };
        ending = waitFor(ready, kOpenWait, program.get());
        if (ending == Ending::None && !holdsOpen()) {
            std::fprintf(stderr, "nmea-bivane-sim: the program has not opened all devices\n");
        }
        if (ending == Ending::None && networkListener && !networkListener->connected()) {
            std::fprintf(stderr, "nmea-bivane-sim: no connection to %s:%d\n",
                         options.listenTcpHost.c_str(), options.listenTcpPort);
        }
        if (ending == Ending::Finished || ending == Ending::None) {
            ending = waitFor([] { return false; }, kSettle, program.get());
        }
    }
    if (ending == Ending::None) {
        std::atomic<bool> streamed{false};
        std::string failure;
        std::thread writer([&] {
            try {
                simulation.run(SteadyClock::now(), UtcWholeSecondNow());
            } catch (const std::exception& error) {
                failure = error.what();
            }
            streamed = true;
        });
        ending = waitFor([&] { return streamed.load(); }, std::chrono::hours(24 * 365 * 100),
                         program.get());
        if (ending == Ending::Finished && failure.empty()) {
            // Late answers to the last epochs.
            waitFor([] { return false; }, kGrace, program.get());
        }
        simulation.stop();
        writer.join();
        if (!failure.empty()) {
            throw std::runtime_error(failure);
        }
    }
    if (program) {
        program->terminate(kKillAfter);
    }
    portListener.stop();
    if (networkListener) {
        networkListener->stop();
    }

    if (!options.reportPath.empty()) {
        const ListenerResults& heard =
            networkListener ? networkListener->results() : portListener.results();
        const EpochTotals totals = (networkListener ? networkLedger : portLedger).totals();
        const SentenceCounts sent = simulation.counts();
        RunSummary summary;
        summary.epochs = totals.epochs;
        summary.hdtReceived = heard.received;
        summary.hdtInvalid = heard.invalid;
        summary.headingErrors = heard.headingErrors;
        summary.latenciesMs = heard.latenciesMs;
        summary.hdtUnpaired = heard.unpaired;
        summary.hdtPaired = totals.paired;
        summary.epochsFaulted = totals.faulted;
        summary.epochsLost = totals.lost;
        summary.hdtMissingClean = totals.missingClean;
        summary.sentencesDropped = sent.dropped;
        summary.sentencesGarbled = sent.garbled;
        summary.sentencesBadField = sent.badField;
        summary.sentencesAbandoned = sent.abandoned;
        summary.thsValid = heard.thsValid;
        summary.thsInvalid = heard.thsInvalid;
        summary.sentencesMispaired = heard.mispaired;
        summary.sentencesPerEpochMax = totals.perEpochMax;
        summary.rotValid = heard.rotValid;
        summary.rotInvalid = heard.rotInvalid;
        summary.rateErrors = heard.rateErrors;
        summary.port3LatenciesMs = portListener.results().latenciesMs;
        writeReport(options.reportPath, summary);
    }
    return 0;
}

}  // namespace
}  // namespace bivane::sim

int main(int argc, char** argv) {
    using namespace bivane::sim;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseOptions(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "nmea-bivane-sim: %s\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options->help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    try {
        return run(*parsed.options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nmea-bivane-sim: %s\n", error.what());
        return 1;
    }
}

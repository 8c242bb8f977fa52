#include "service/heading_service.h"

#include <cmath>

#include "heading/baseline.h"
#include "runtime/output_settings.h"
#include "runtime/program_folder.h"
#include "runtime/qt_text.h"
#include "runtime/settings_at_start.h"
#include "runtime/settings_file_io.h"
#include "runtime/version.h"
#include "serial/user_settings.h"

namespace bivane {
namespace {

constexpr int kSummaryIntervalMs = 60'000;
// An error the error line keeps repeating is said again after this long.
constexpr qint64 kErrorRepeatMs = 60'000;
// How many different errors are remembered as said.
constexpr std::size_t kErrorsRemembered = 64;

const char* const kPortRoles[] = {"GPS 1", "GPS 2", "heading output"};

// A text of several lines as one status line.
QString oneLine(QString text) {
    return text.replace(QStringLiteral("\n\n"), QStringLiteral(" ")).replace(u'\n', u' ');
}

// The error line without the time of day it starts with ("12:00:01 : ").
std::string errorMessage(const std::string& line) {
    const std::size_t timeEnd = line.find(" : ");
    return timeEnd == std::string::npos ? line : line.substr(timeEnd + 3);
}

QString metres(double value) {
    return QString::number(value, 'f', 2);
}

}  // namespace

void HeadingService::StatusMessages::showMessage(std::string_view, std::string_view text) {
    m_service.say(QStringLiteral("decoder: ") + oneLine(FromStd(text)));
}

HeadingService::HeadingService(const PortFactory& makePort, const ComPortMap& devices,
                               const LocalClock& clock, CommandLine commandLine, StatusLine status,
                               QObject* parent)
    : QObject(parent),
      m_devices(devices),
      m_clock(clock),
      m_commandLine(std::move(commandLine)),
      m_status(std::move(status)),
      m_ports{makePort(1, [this](int index) { portLost(index); }),
              makePort(2, [this](int index) { portLost(index); }),
              makePort(3, [this](int index) { portLost(index); })},
      m_engine({.ports = ports(),
                .logFile = &m_logger,
                .decoderMessages = &m_decoderMessages,
                .clock = &m_clock,
                .decimalSeparator = '.'}),
      m_reopener(
          ports(), [this](int number) { return m_devices.deviceFor(number); },
          [this](int index) { portBack(index); }) {
    m_networkOutputs.addTo(m_engine, [this](const std::string& failure) {
        say(FromStd(failure) + QStringLiteral(": heading not sent"));
    });
    m_engine.setInputTap(&m_recorder);
    m_recorder.setStopHandler([this](const QString& failure) { say(failure); });
    m_engine.setTextChanged([this] { errorLineChanged(); });
    // What the line says before anything happened is not news.
    m_errorShown = errorMessage(m_engine.text().lblError.text);
    m_running.start();
    m_engine.cycle().setObserver([this](const CycleReport& report) {
        const std::int64_t before = m_summary.epochs();
        m_summary.count(report);
        m_totalEpochs += m_summary.epochs() - before;
        noteHeadingFlow(report);
    });
    m_summaryTimer.setInterval(kSummaryIntervalMs);
    connect(&m_summaryTimer, &QTimer::timeout, this, [this] { say(m_summary.takeLine()); });
}

HeadingService::~HeadingService() {
    // The ports go first: nothing they report may reach a service half gone.
    m_engine.setTextChanged(nullptr);
    for (auto& port : m_ports) {
        port->setEventHandler(nullptr);
        port.reset();
    }
}

std::array<SerialPort*, 3> HeadingService::ports() const {
    return {m_ports[0].get(), m_ports[1].get(), m_ports[2].get()};
}

QString HeadingService::settingsFilePath() const {
    return FromStd(m_engine.state().ProgramFolder) + QLatin1String(kSettingsFileName);
}

std::optional<QString> HeadingService::start() {
    CompassState& state = m_engine.state();
    const ProgramFolderSetup folder = PrepareProgramFolder(m_commandLine.programFolder);
    state.ProgramFolder = folder.folder;
    if (folder.failure) {
        say(oneLine(FromStd(*folder.failure)));
    }
    QString reason;
    const std::optional<SettingsItems> items = readSettings(reason);
    if (!items) {
        return reason;
    }
    readUserSettings();
    applySettings(*items, false);
    if (!port(1).isOpen() && !port(2).isOpen()) {
        return QStringLiteral("neither %1 nor %2 can be opened").arg(portText(1), portText(2));
    }
    if (m_commandLine.log) {
        const std::string fileName = LogFileName(m_clock.now());
        if (const auto failure = m_logger.start(LogFolder(state.ProgramFolder), fileName)) {
            say(QStringLiteral("cannot log: %1; the heading goes on without a log")
                    .arg(oneLine(FromStd(*failure))));
        } else {
            state.LogFileName = fileName;
            state.Logging = true;
        }
    }
    calculateBaseline();
    startRecording();
    say(startLine());
    m_summaryTimer.start();
    return std::nullopt;
}

std::optional<SettingsItems> HeadingService::readSettings(QString& reason) {
    const QString path = settingsFilePath();
    const SettingsAtStart start = ReadSettingsAtStart(path);
    if (start.report) {
        say(oneLine(*start.report));
    }
    if (start.usable) {
        return start.items;
    }
    if (!m_commandLine.portsMapped) {
        reason = start.exists ? QStringLiteral(
                                    "the settings file \"%1\" cannot be used and no --com names "
                                    "the receivers' devices")
                                    .arg(path)
                              : QStringLiteral(
                                    "no settings file \"%1\" and no --com: set the ports in the "
                                    "window's Comm setup, or give --com N=DEVICE")
                                    .arg(path);
        return std::nullopt;
    }
    // The built-in settings on the devices the command line names; a device
    // named for COM 3 turns the heading output on.
    SettingsItems builtIn;
    builtIn.HeadingOutput = m_devices.mappedForThisRun(builtIn.port(3).number);
    return builtIn;
}

void HeadingService::readUserSettings() {
    const auto store = OpenUserSettings();
    UseOutputSettings(ReadOutputSettings(*store), m_engine.state());
    m_network =
        WithOutputsForThisRun(ReadNetworkSettings(*store), m_commandLine.tcp, m_commandLine.udp);
    if (const auto failure = m_networkOutputs.apply(m_network)) {
        say(QStringLiteral("%1; the heading goes on everywhere else").arg(*failure));
    }
}

void HeadingService::applySettings(const SettingsItems& items, bool reloading) {
    CompassState& state = m_engine.state();
    for (int index = 1; index <= 3; ++index) {
        const PortSettingsItem& wanted = items.port(index);
        const bool on = index != 3 || items.HeadingOutput;
        SerialPort& serialPort = port(index);
        const bool unchanged = serialPort.portNumber() == wanted.number &&
                               serialPort.settings() == wanted.settings &&
                               (serialPort.isOpen() || m_reopener.waitingFor(index)) == on;
        if (reloading && unchanged) {
            continue;
        }
        serialPort.close();
        serialPort.setPortNumber(wanted.number);
        serialPort.setSettings(wanted.settings);
        if (on) {
            openPort(index);
        } else {
            m_reopener.forget(index);  // turned off: not waited for
        }
        if (reloading) {
            say(QStringLiteral("%1 now %2")
                    .arg(portText(index), on ? QStringLiteral("in use") : QStringLiteral("off")));
        }
    }
    ApplyStateSettings(items, state);
}

bool HeadingService::openPort(int index) {
    const IoResult result = port(index).open();
    if (result.ok()) {
        return true;
    }
    say(QStringLiteral("%1 cannot be opened: %2; it is opened as soon as its device is there")
            .arg(portText(index), oneLine(FromStd(result.failure()))));
    m_reopener.portLost(index);
    return false;
}

void HeadingService::calculateBaseline() {
    CompassState& state = m_engine.state();
    if (const auto failure = CalculateBaseline(state, m_engine.text(), '.')) {
        say(oneLine(FromStd(*failure)));
    }
}

void HeadingService::startRecording() {
    if (m_commandLine.record.isEmpty()) {
        return;
    }
    if (const auto failure = StartRecording(m_recorder, m_commandLine.record,
                                            m_commandLine.recordMaxMb, m_engine.state())) {
        say(*failure + QStringLiteral("; the heading goes on without a recording"));
    }
}

void HeadingService::reload() {
    say(QStringLiteral("reading the settings again"));
    QString reason;
    if (const std::optional<SettingsItems> items = readSettings(reason)) {
        applySettings(*items, true);
        calculateBaseline();
    } else {
        say(reason + QStringLiteral("; the settings in use stay"));
    }
    readUserSettings();
    KeepRecordingReplayable(m_recorder, m_engine.state());
    say(startLine());
}

void HeadingService::stop() {
    m_summaryTimer.stop();
    m_reopener.forgetAll();
    m_recorder.stop();
    QString logged;
    if (m_logger.isOpen()) {
        const auto failure = m_logger.stop();
        logged = failure ? QStringLiteral("; the log may be incomplete: ") + FromStd(*failure)
                         : QStringLiteral("; log synced");
    }
    for (auto& each : m_ports) {
        each->close();
    }
    say(QStringLiteral("stopped after %1 epochs%2").arg(m_totalEpochs).arg(logged));
}

void HeadingService::portLost(int index) {
    say(QStringLiteral("%1 lost its device; it is opened again as soon as the device is back")
            .arg(portText(index)));
    m_reopener.portLost(index);
    m_portTextSaid = true;
    m_engine.portLost(index);  // its error line says less than the line just said
    m_portTextSaid = false;
}

void HeadingService::portBack(int index) {
    say(QStringLiteral("%1 is back").arg(portText(index)));
    m_portTextSaid = true;
    m_engine.portBack(index);
    m_portTextSaid = false;
}

void HeadingService::noteHeadingFlow(const CycleReport& report) {
    const bool heading = report.outcome == CycleOutcome::Heading;
    if (heading == m_headingsFlow || report.outcome == CycleOutcome::Waiting ||
        report.outcome == CycleOutcome::NotReady || report.outcome == CycleOutcome::Failed) {
        return;
    }
    m_headingsFlow = heading;
    if (heading) {
        if (m_headingsStopped.isValid()) {
            say(QStringLiteral("headings again after %1 s")
                    .arg(static_cast<double>(m_headingsStopped.elapsed()) / 1000, 0, 'f', 1));
        }
        return;
    }
    m_headingsStopped.start();
    QString why;
    switch (report.outcome) {
        case CycleOutcome::NoFix:
            why = QStringLiteral("a receiver reports no fix");
            break;
        case CycleOutcome::Stale:
            // The time difference is GPS 1's fix time minus GPS 2's.
            why = QStringLiteral("GPS %1's latest fix is %2 s older than GPS %3's: is it silent?")
                      .arg(report.timeDiffSeconds > 0 ? 2 : 1)
                      .arg(std::fabs(report.timeDiffSeconds), 0, 'f', 1)
                      .arg(report.timeDiffSeconds > 0 ? 1 : 2);
            break;
        default:
            why = QStringLiteral("the receivers' fixes do not pair");
            break;
    }
    say(QStringLiteral("no heading: ") + why);
}

void HeadingService::errorLineChanged() {
    const std::string message = errorMessage(m_engine.text().lblError.text);
    if (message == m_errorShown) {
        return;  // another event, the same line
    }
    m_errorShown = message;
    if (m_portTextSaid) {
        return;
    }
    // Errors that come back again and again (a receiver's checksum errors
    // every second) are said once a minute each.
    const qint64 now = m_running.elapsed();
    if (const auto said = m_errorsSaid.find(message);
        said != m_errorsSaid.end() && now - said->second < kErrorRepeatMs) {
        return;
    }
    if (m_errorsSaid.size() >= kErrorsRemembered) {
        m_errorsSaid.clear();
    }
    m_errorsSaid[message] = now;
    say(FromStd(message));
}

QString HeadingService::portText(int index) const {
    const SerialPort& serialPort = port(index);
    return QStringLiteral("%1 on COM %2 (%3, %4)")
        .arg(QLatin1String(kPortRoles[index - 1]))
        .arg(serialPort.portNumber())
        .arg(m_devices.deviceFor(serialPort.portNumber()), FromStd(serialPort.settings()));
}

QString HeadingService::startLine() const {
    const CompassState& state = m_engine.state();
    QStringList parts;
    for (int index = 1; index <= 3; ++index) {
        const char* condition = port(index).isOpen()           ? "open"
                                : m_reopener.waitingFor(index) ? "waiting for its device"
                                                               : "off";
        parts << QStringLiteral("%1 %2").arg(portText(index), QLatin1String(condition));
    }
    parts << QStringLiteral("sentences %1").arg(FromStd(SentenceChoiceText(state.Sentences)));
    parts << (m_network.tcpOn ? QStringLiteral("TCP %1").arg(NetworkEndpointText(m_network.tcp))
                              : QStringLiteral("TCP off"));
    parts << (m_network.udpOn ? QStringLiteral("UDP to %1").arg(NetworkEndpointText(m_network.udp))
                              : QStringLiteral("UDP off"));
    parts << (state.Logging ? QStringLiteral("log %1").arg(
                                  FromStd(LogFolder(state.ProgramFolder) + state.LogFileName))
                            : QStringLiteral("log off"));
    parts << (m_recorder.isRecording() ? QStringLiteral("recording %1").arg(m_recorder.path())
                                       : QStringLiteral("recording off"));
    parts << QStringLiteral("offsets GPS 1 X %1 Y %2 m, GPS 2 X %3 Y %4 m")
                 .arg(metres(state.OffsetX[0]), metres(state.OffsetY[0]), metres(state.OffsetX[1]),
                      metres(state.OffsetY[1]));
    parts << QStringLiteral("time tolerance %1 s")
                 .arg(static_cast<double>(state.TimeTolerance), 0, 'f', 2);
    return QStringLiteral("nmea-bivaned %1 running: ").arg(FromStd(VersionText)) +
           parts.join(QStringLiteral("; "));
}

}  // namespace bivane

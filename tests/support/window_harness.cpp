#include "tests/support/window_harness.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <cstdio>
#include <stdexcept>

#include "serial/user_settings.h"
#include "tests/support/gga_lines.h"
#include "tests/support/turning_epochs.h"

namespace bivane::test {

using namespace std::chrono_literals;
using test_support::ProcessEventsUntil;
using test_support::PseudoTerminal;

std::optional<QString> ScriptedPrompts::input(const QString& title, const QString& prompt,
                                              const QString& initial) {
    inputs.push_back({title, prompt, initial});
    if (answers.empty()) {
        return std::nullopt;
    }
    // Copied field by field: GCC warns of a whole optional<QString> copied here.
    const bool confirmed = answers.front().has_value();
    const QString text = answers.front().value_or(QString());
    answers.pop_front();
    return confirmed ? std::optional<QString>(text) : std::nullopt;
}

QStringList ScriptedPrompts::texts() const {
    QStringList texts;
    for (const Shown& m : messages) {
        texts << m.text;
    }
    return texts;
}

PortFactory MemoryPorts(std::function<void(int, MemoryPort&)> configure) {
    return [configure](int index, std::function<void(int)>) -> std::unique_ptr<SerialPort> {
        auto port = std::make_unique<MemoryPort>(static_cast<std::int16_t>(index));
        if (configure) {
            configure(index, *port);
        }
        return port;
    };
}

WindowHarness::WindowHarness() {
    if (!m_dir.isValid()) {
        throw std::runtime_error("no temporary folder");
    }
    OpenUserSettings()->clear();
}

WindowHarness::~WindowHarness() = default;

QString WindowHarness::programFolder() const {
    return m_dir.path() + QStringLiteral("/pf");
}

QString WindowHarness::path(const QString& name) const {
    return programFolder() + QLatin1Char('/') + name;
}

void WindowHarness::writeFile(const QString& name, std::string_view text) const {
    QDir().mkpath(programFolder());
    WriteWholeFile(path(name), text);
}

std::string WindowHarness::readFile(const QString& name) const {
    return ReadWholeFile(path(name));
}

Frm_Bivane& WindowHarness::start(const PortFactory& ports, const QString& folder) {
    m_window = std::make_unique<Frm_Bivane>(ports, prompts, clock,
                                            folder.isEmpty() ? programFolder() : folder);
    m_window->setInputThread(m_input ? &m_input->thread() : nullptr);
    m_window->Form_Load();
    return *m_window;
}

std::string WindowHarness::label(const char* name, int index) {
    return m_window->label(name, index)->text().toStdString();
}

MemoryPort& WindowHarness::port(int index) {
    return dynamic_cast<MemoryPort&>(m_window->MSComm1(index));
}

std::pair<std::string, std::string> WindowHarness::FixPair(int second, int gps2Second) {
    GgaFields gps1;
    gps1.time = QString::asprintf("1235%02d.00", second).toStdString();
    GgaFields gps2 = gps1;
    gps2.time =
        QString::asprintf("1235%02d.00", gps2Second < 0 ? second : gps2Second).toStdString();
    gps2.latitudeDegrees += 0.00004;
    gps2.longitudeDegrees += 0.00003;
    return {GgaLine(gps1), GgaLine(gps2)};
}

void WindowHarness::receivePair(int second, int gps2Second) {
    const auto [first, other] = FixPair(second, gps2Second);
    port(1).receive(first);
    port(2).receive(other);
    settle();
}

void WindowHarness::settle() {
    Q_EMIT QAbstractEventDispatcher::instance()->aboutToBlock();
    QElapsedTimer waited;
    waited.start();
    while (m_window->textPending() && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
}

Frm_Bivane& WindowHarness::startOnLines() {
    gps1 = std::make_unique<PseudoTerminal>();
    gps2 = std::make_unique<PseudoTerminal>();
    heading = std::make_unique<PseudoTerminal>();
    pointLinkAt(1, gps1->devicePath());
    pointLinkAt(3, heading->devicePath());
    lines.mapForThisRun(11, linkPath(1));
    lines.mapForThisRun(12, gps2->devicePath());
    lines.mapForThisRun(13, linkPath(3));
    if (!QFile::exists(path(QStringLiteral("Bivane.ini")))) {
        writeFile(QStringLiteral("Bivane.ini"), kLinesSettings);
    }
    Frm_Bivane& started = start(linePorts());
    started.setDeviceNames(&lines);
    return started;
}

PortFactory WindowHarness::linePorts() {
    if (!m_input) {
        m_input = ThreadedInput::start();
    }
    return QtPortFactory(lines, m_input ? &m_input->thread() : nullptr);
}

QString WindowHarness::linkPath(int line) const {
    return path(line == 1 ? QStringLiteral("gps1") : QStringLiteral("heading"));
}

void WindowHarness::unplug(int line) {
    (line == 1 ? gps1 : heading)->closeMaster();
    pointLinkAt(line, {});
}

void WindowHarness::pointLinkAt(int line, const QString& device) {
    // A new link replaces the old one in one step, as udev does.
    QDir().mkpath(programFolder());
    const QString link = linkPath(line);
    const QString fresh = link + QStringLiteral(".new");
    QFile::remove(fresh);
    if (device.isEmpty()) {
        QFile::remove(link);
        return;
    }
    if (!QFile::link(device, fresh) || std::rename(QFile::encodeName(fresh).constData(),
                                                   QFile::encodeName(link).constData()) != 0) {
        throw std::runtime_error("cannot link " + link.toStdString());
    }
}

bool WindowHarness::sendEpoch(int n) {
    const auto [first, second] = EpochPair(n);
    gps1->send(first);
    gps2->send(second);
    return ProcessEventsUntil(
        [&] {
            return label("lblGGA", 1) + "\r\n" == first && label("lblGGA", 2) + "\r\n" == second;
        },
        5s);
}

std::string WindowHarness::output(std::chrono::milliseconds limit) {
    std::string sent;
    ProcessEventsUntil(
        [&] {
            sent += heading->receive(0ms);
            return !sent.empty() && sent.back() == '\n';
        },
        limit);
    return sent;
}

::testing::AssertionResult WindowHarness::headingsFollow(int first, int last) {
    for (int n = first; n <= last; ++n) {
        if (!sendEpoch(n)) {
            return ::testing::AssertionFailure() << "epoch " << n << " was not shown";
        }
        const std::string sent = output();
        if (sent != label("lblHDT") + "\r\n") {
            return ::testing::AssertionFailure()
                   << "epoch " << n << " sent \"" << sent << "\", showing " << label("lblHDT");
        }
    }
    return ::testing::AssertionSuccess();
}

std::string WindowHarness::openPorts() {
    std::string open;
    for (int index = 1; index <= 3; ++index) {
        open += (index > 1 ? " " : "") +
                (m_window->MSComm1(index).isOpen() ? std::to_string(index) : std::string("-"));
    }
    return open;
}

std::string ReadWholeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void WriteWholeFile(const QString& path, std::string_view text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size())) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

QString UserSetting(const QString& key) {
    return OpenUserSettings()->value(key).toString();
}

void SetUserSetting(const QString& key, const QString& value) {
    OpenUserSettings()->setValue(key, value);
}

}  // namespace bivane::test

#include "tests/app/window_harness.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <stdexcept>

#include "serial/user_settings.h"
#include "tests/support/gga_lines.h"

namespace bivane::test {

void ScriptedPrompts::message(const QString& title, const QString& text) {
    messages.push_back({title, text});
    if (onMessage) {
        onMessage(messages.back());
    }
}

std::optional<QString> ScriptedPrompts::input(const QString&, const QString&, const QString&) {
    if (answers.empty()) {
        return std::nullopt;
    }
    const bool confirmed = answers.front().has_value();
    const QString text = answers.front().value_or(QString());
    answers.pop_front();
    return confirmed ? std::optional<QString>(text) : std::nullopt;
}

QStringList ScriptedPrompts::texts() const {
    QStringList texts;
    for (const Message& m : messages) {
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
    m_window->Form_Load();
    return *m_window;
}

MemoryPort& WindowHarness::port(int index) {
    return dynamic_cast<MemoryPort&>(m_window->MSComm1(index));
}

std::pair<std::string, std::string> WindowHarness::FixPair(int second, int gps2Second) {
    char time[16];
    GgaFields gps1;
    std::snprintf(time, sizeof time, "1235%02d.00", second);
    gps1.time = time;
    GgaFields gps2 = gps1;
    std::snprintf(time, sizeof time, "1235%02d.00", gps2Second < 0 ? second : gps2Second);
    gps2.time = time;
    gps2.latitudeDegrees += 0.00004;
    gps2.longitudeDegrees += 0.00003;
    return {GgaLine(gps1), GgaLine(gps2)};
}

void WindowHarness::receivePair(int second, int gps2Second) {
    const auto [gps1, gps2] = FixPair(second, gps2Second);
    port(1).receive(gps1);
    port(2).receive(gps2);
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

std::string ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().toStdString();
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

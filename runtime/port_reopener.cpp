#include "runtime/port_reopener.h"

#include <QFileInfo>
#include <algorithm>

namespace bivane {
namespace {

constexpr int kCheckIntervalMs = 1000;

// A device path that names a file (Unix) is opened only once the file is
// there again; other names (Windows' COM n) are simply tried.
bool devicePresent(const QString& path) {
    return !path.startsWith(QLatin1Char('/')) || QFileInfo::exists(path);
}

}  // namespace

PortReopener::PortReopener(std::array<SerialPort*, 3> ports,
                           std::function<QString(int number)> devicePath,
                           std::function<void(int index)> back, QObject* parent)
    : QObject(parent),
      m_ports(ports),
      m_devicePath(std::move(devicePath)),
      m_back(std::move(back)) {
    m_timer.setInterval(kCheckIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PortReopener::check);
}

void PortReopener::portLost(int index) {
    const auto entry = static_cast<std::size_t>(index - 1);
    m_lost.at(entry) = m_ports.at(entry)->portNumber();
    m_timer.start();
}

void PortReopener::forgetAll() {
    m_lost.fill(std::nullopt);
    m_timer.stop();
}

void PortReopener::forget(int index) {
    m_lost.at(static_cast<std::size_t>(index - 1)).reset();
}

bool PortReopener::waitingFor(int index) const {
    return m_lost.at(static_cast<std::size_t>(index - 1)).has_value();
}

void PortReopener::check() {
    for (std::size_t entry = 0; entry < m_ports.size(); ++entry) {
        auto& lost = m_lost[entry];
        if (!lost) {
            continue;
        }
        SerialPort& port = *m_ports[entry];
        if (port.isOpen() || port.portNumber() != *lost) {
            lost.reset();  // the user has dealt with it
            continue;
        }
        // A device just plugged in may refuse for a moment (its permissions
        // are set a little later): the next look tries again.
        if (devicePresent(m_devicePath(port.portNumber())) && port.open().ok()) {
            lost.reset();
            m_back(static_cast<int>(entry + 1));
        }
    }
    if (std::none_of(m_lost.begin(), m_lost.end(),
                     [](const auto& lost) { return lost.has_value(); })) {
        m_timer.stop();
    }
}

}  // namespace bivane

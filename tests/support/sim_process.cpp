#include "tests/support/sim_process.h"

#include <QStringList>
#include <cmath>
#include <stdexcept>

namespace bivane::sim::test {

SimProcess::SimProcess(const std::vector<std::string>& arguments) {
    QStringList texts;
    for (const std::string& argument : arguments) {
        texts << QString::fromStdString(argument);
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(SIM_EXECUTABLE), texts);
    while (m_devices.size() < 3 && (m_process.canReadLine() || m_process.waitForReadyRead(30000))) {
        while (m_devices.size() < 3 && m_process.canReadLine()) {
            const std::string line = m_process.readLine().trimmed().toStdString();
            m_devices.push_back(line.substr(line.find('=') + 1));
        }
    }
    if (m_devices.size() < 3) {
        throw std::runtime_error("the simulator printed no devices");
    }
}

int SimProcess::wait(std::chrono::milliseconds limit) {
    if (!ended() && !m_process.waitForFinished(static_cast<int>(limit.count()))) {
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

double ReportValue(const std::string& json, const std::string& key) {
    std::size_t at = 0;
    for (std::size_t from = 0, dot = 0; dot != std::string::npos; from = dot + 1) {
        dot = key.find('.', from);
        const std::string name = '"' + key.substr(from, dot - from) + "\": ";
        at = json.find(name, at);
        if (at == std::string::npos) {
            return std::nan("");
        }
        at += name.size();
    }
    return json.compare(at, 4, "null") == 0 ? std::nan("")
                                            : std::strtod(json.c_str() + at, nullptr);
}

}  // namespace bivane::sim::test

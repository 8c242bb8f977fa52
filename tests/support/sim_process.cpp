#include "tests/support/sim_process.h"

#include <QStringList>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace bivane::sim::test {
namespace {

void start(QProcess& process, const std::vector<std::string>& arguments) {
    QStringList texts;
    for (const std::string& argument : arguments) {
        texts << QString::fromStdString(argument);
    }
    process.start(QStringLiteral(SIM_EXECUTABLE), texts);
}

int exitStatus(const QProcess& process) {
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& arguments) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    start(m_process, arguments);
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

SimProcess::~SimProcess() {
    m_process.kill();
    m_process.waitForFinished();
}

int SimProcess::wait(std::chrono::milliseconds limit) {
    if (!ended() && !m_process.waitForFinished(static_cast<int>(limit.count()))) {
        return -1;
    }
    return exitStatus(m_process);
}

Finished RunToEnd(const std::vector<std::string>& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    start(process, arguments);
    const bool ended = process.waitForFinished(-1);
    return {ended ? exitStatus(process) : -1, process.readAllStandardError().toStdString()};
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
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

#pragma once

#include <QProcess>

#include <chrono>
#include <string>
#include <vector>

namespace bivane::sim::test {

// The simulator executable under test, started with `arguments`; the three
// device names are read from its first lines of output.
class SimProcess {
  public:
    // Ended, if need be, when the object goes.
    explicit SimProcess(const std::vector<std::string>& arguments);

    const std::string& gps1() const { return m_devices[0]; }
    const std::string& gps2() const { return m_devices[1]; }
    const std::string& heading() const { return m_devices[2]; }

    // The exit status once it has ended (waits up to `limit`), -1 on time out.
    int wait(std::chrono::milliseconds limit = std::chrono::seconds(30));
    bool ended() const { return m_process.state() == QProcess::NotRunning; }

  private:
    QProcess m_process;
    std::vector<std::string> m_devices;
};

// A number of the report by its key, "latency_ms.p99" for a nested one; NaN
// for null, and for a missing key.
double ReportValue(const std::string& json, const std::string& key);

}  // namespace bivane::sim::test

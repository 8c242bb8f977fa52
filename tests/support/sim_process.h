#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace bivane::sim::test {

using Clock = std::chrono::steady_clock;

// Starts `executable` with `arguments`, its standard output and error on the
// given descriptors (-1: this process's own), in `environment` ("NAME=value"
// texts; none: this process's environment). Throws when it cannot start.
pid_t Spawn(const std::string& executable, const std::vector<std::string>& arguments, int stdoutFd,
            int stderrFd, std::vector<std::string> environment = {});

// The simulator executable under test, started with `arguments`; the three
// device names are read from its first lines of output.
class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& arguments);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& gps1() const { return m_devices[0]; }
    const std::string& gps2() const { return m_devices[1]; }
    const std::string& heading() const { return m_devices[2]; }

    // The exit status once it has ended (waits up to `limit`), -1 on time out.
    int wait(std::chrono::milliseconds limit = std::chrono::seconds(30));
    bool ended();

  private:
    pid_t m_pid = -1;
    bool m_ended = false;
    int m_status = -1;
    std::vector<std::string> m_devices;
};

// Runs the simulator to its end with no devices read: exit status and what it
// wrote on standard error.
struct Finished {
    int status = -1;
    std::string standardError;
};
Finished RunToEnd(const std::vector<std::string>& arguments);

std::string ReadFile(const std::string& path);

// A number of the report by its key, "latency_ms.p99" for a nested one; NaN
// for null, and for a missing key.
double ReportValue(const std::string& json, const std::string& key);

// A folder of its own for one test, removed at the end.
class TemporaryFolder {
  public:
    TemporaryFolder();
    ~TemporaryFolder();
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

}  // namespace bivane::sim::test

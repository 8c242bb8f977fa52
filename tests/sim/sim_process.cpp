#include "tests/sim/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace bivane::sim::test {
namespace {

pid_t spawn(const std::vector<std::string>& arguments, int stdoutFd, int stderrFd) {
    std::vector<std::string> texts{SIM_EXECUTABLE};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    }
    if (stderrFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stderrFd, 2);
    }
    pid_t pid = -1;
    const int result = posix_spawn(&pid, SIM_EXECUTABLE, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        throw std::runtime_error("cannot start " SIM_EXECUTABLE);
    }
    return pid;
}

int exitCode(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& arguments) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    m_pid = spawn(arguments, out[1], -1);
    close(out[1]);
    std::string text;
    char c = 0;
    while (m_devices.size() < 3 && read(out[0], &c, 1) == 1) {
        if (c == '\n') {
            m_devices.push_back(text.substr(text.find('=') + 1));
            text.clear();
        } else {
            text.push_back(c);
        }
    }
    close(out[0]);
    if (m_devices.size() < 3) {
        throw std::runtime_error("the simulator printed no devices");
    }
}

SimProcess::~SimProcess() {
    if (!ended()) {
        kill(m_pid, SIGKILL);
        wait();
    }
}

bool SimProcess::ended() {
    if (!m_ended) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_ended = true;
            m_status = exitCode(status);
        }
    }
    return m_ended;
}

int SimProcess::wait(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (!ended() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return m_ended ? m_status : -1;
}

int Pump(SimProcess& sim, const std::vector<std::string>& devices,
         const std::function<void(const Arrival&)>& onLine) {
    struct Device {
        int fd;
        std::string pending;
        Clock::time_point firstByte;
    };
    std::vector<Device> opened;
    for (const std::string& name : devices) {
        const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            throw std::runtime_error("cannot open " + name);
        }
        opened.push_back({fd, {}, {}});
    }
    const auto readAll = [&] {
        for (std::size_t i = 0; i < opened.size(); ++i) {
            char buffer[4096];
            ssize_t n = 0;
            while ((n = read(opened[i].fd, buffer, sizeof buffer)) > 0) {
                const auto now = Clock::now();
                for (ssize_t k = 0; k < n; ++k) {
                    if (opened[i].pending.empty()) {
                        opened[i].firstByte = now;
                    }
                    opened[i].pending.push_back(buffer[k]);
                    if (buffer[k] == '\n') {
                        onLine({static_cast<int>(i), opened[i].pending, opened[i].firstByte, now});
                        opened[i].pending.clear();
                    }
                }
            }
        }
    };
    while (!sim.ended()) {
        std::vector<pollfd> fds;
        for (const Device& device : opened) {
            fds.push_back({device.fd, POLLIN, 0});
        }
        poll(fds.data(), fds.size(), 10);
        readAll();
    }
    readAll();
    for (const Device& device : opened) {
        close(device.fd);
    }
    return sim.wait();
}

void WriteTo(const std::string& device, const std::string& text) {
    const int fd = ::open(device.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("cannot write to " + device);
    }
    close(fd);
}

Finished RunToEnd(const std::vector<std::string>& arguments) {
    int err[2];
    if (pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t pid = spawn(arguments, null, err[1]);
    close(err[1]);
    close(null);
    Finished finished;
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(err[0], buffer, sizeof buffer)) > 0) {
        finished.standardError.append(buffer, static_cast<std::size_t>(n));
    }
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    finished.status = exitCode(status);
    return finished;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

double ReportValue(const std::string& json, const std::string& key) {
    std::size_t at = 0;
    std::string_view rest = key;
    while (!rest.empty()) {
        const std::size_t dot = rest.find('.');
        const std::string name = "\"" + std::string(rest.substr(0, dot)) + "\": ";
        at = json.find(name, at);
        if (at == std::string::npos) {
            return std::nan("");
        }
        at += name.size();
        rest = dot == std::string_view::npos ? std::string_view{} : rest.substr(dot + 1);
    }
    if (json.compare(at, 4, "null") == 0) {
        return std::nan("");
    }
    return std::strtod(json.c_str() + at, nullptr);
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sim-test.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp");
    }
    m_path = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

}  // namespace bivane::sim::test

#include "tests/support/sim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace bivane::sim::test {
namespace {

// A pipe, both ends closed on exec.
std::array<int, 2> makePipe() {
    std::array<int, 2> ends{};
    if (pipe2(ends.data(), O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    return ends;
}

int exitCode(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

pid_t Spawn(const std::string& executable, const std::vector<std::string>& arguments, int stdoutFd,
            int stderrFd, std::vector<std::string> environment) {
    std::vector<std::string> texts{executable};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    const auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> result;
        for (std::string& text : strings) {
            result.push_back(text.data());
        }
        result.push_back(nullptr);
        return result;
    };
    std::vector<char*> argv = pointers(texts);
    std::vector<char*> envp = pointers(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const auto& [from, to] : {std::pair{stdoutFd, 1}, std::pair{stderrFd, 2}}) {
        if (from >= 0) {
            posix_spawn_file_actions_adddup2(&actions, from, to);
        }
    }
    pid_t pid = -1;
    const int result = posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(),
                                   environment.empty() ? environ : envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        throw std::runtime_error("cannot start " + executable);
    }
    return pid;
}

SimProcess::SimProcess(const std::vector<std::string>& arguments) {
    const auto out = makePipe();
    m_pid = Spawn(SIM_EXECUTABLE, arguments, out[1], -1);
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

Finished RunToEnd(const std::vector<std::string>& arguments) {
    const auto err = makePipe();
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t pid = Spawn(SIM_EXECUTABLE, arguments, null, err[1]);
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
    return {std::istreambuf_iterator<char>(file), {}};
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
    return json.compare(at, 4, "null") == 0 ? std::nan("")
                                            : std::strtod(json.c_str() + at, nullptr);
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

#include "tools/sim/launcher.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <thread>

#include "tools/sim/settings_file.h"

extern char** environ;

namespace bivane::sim {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kProgramName = "nmea-bivane";

bool isExecutableFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) && access(path.c_str(), X_OK) == 0;
}

// A folder's path for comparison: absolute, no "." or "..", no links, no
// trailing separator.
fs::path comparable(const fs::path& folder) {
    std::error_code error;
    fs::path path = fs::weakly_canonical(fs::absolute(folder, error), error).lexically_normal();
    return path.has_filename() ? path : path.parent_path();
}

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string FindProgram(const std::string& explicitPath, const std::string& selfPath,
                        std::string_view pathVariable) {
    if (explicitPath.find('/') != std::string::npos) {
        return isExecutableFile(explicitPath) ? explicitPath : std::string();
    }
    // A name: the window (the default) or the service, found where a build
    // or an installation puts it.
    const fs::path name = explicitPath.empty() ? std::string(kProgramName) : explicitPath;
    const fs::path self(selfPath);
    const fs::path build = self.parent_path().parent_path().parent_path();
    const fs::path candidates[] = {self.parent_path() / name, build / "app" / name,
                                   build / "service" / name};
    for (const fs::path& candidate : candidates) {
        if (!selfPath.empty() && isExecutableFile(candidate)) {
            return candidate.string();
        }
    }
    while (!pathVariable.empty()) {
        const std::size_t colon = pathVariable.find(':');
        const std::string_view folder = pathVariable.substr(0, colon);
        if (!folder.empty() && isExecutableFile(fs::path(folder) / name)) {
            return (fs::path(folder) / name).string();
        }
        pathVariable.remove_prefix(colon == std::string_view::npos ? pathVariable.size()
                                                                   : colon + 1);
    }
    return {};
}

std::string SelfExecutablePath() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}

std::string UserSettingsText(std::string_view existing, const SimOptions& options) {
    std::string sentences;
    for (const std::string& name : options.sentences) {
        sentences += (sentences.empty() ? "" : ",") + name;
    }
    // Quoted: the store reads an unquoted comma as a list of values.
    std::string output = "Sentences=\"" + sentences + "\"\n";
    if (options.baselineLimit) {
        char limit[32];
        const auto end = std::to_chars(limit, limit + sizeof limit, *options.baselineLimit).ptr;
        output += "BaselineLimit=" + std::string(limit, end) + "\n";
    }
    std::string text;
    bool inOutput = false;
    bool outputSeen = false;
    while (!existing.empty()) {
        const std::size_t end = existing.find('\n');
        const std::string_view line = existing.substr(0, end);
        existing.remove_prefix(end == std::string_view::npos ? existing.size() : end + 1);
        if (line.starts_with('[')) {
            inOutput = line.starts_with("[Output]");
        }
        const bool replaced =
            inOutput && (line.starts_with("Sentences=") ||
                         (options.baselineLimit && line.starts_with("BaselineLimit=")));
        if (!replaced) {
            text += std::string(line) + "\n";
        }
        if (inOutput && !outputSeen) {
            outputSeen = true;
            text += output;
        }
    }
    return outputSeen ? text : text + (text.empty() ? "" : "\n") + "[Output]\n" + output;
}

std::string PrepareProgramFolder(const std::string& requested, const SimOptions& options) {
    std::string folder = requested;
    std::error_code error;
    if (folder.empty()) {
        std::string base = environmentValue("TMPDIR");
        std::string pattern = (base.empty() ? "/tmp" : base) + "/nmea-bivane-sim.XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a program folder from " + pattern + ": " +
                                     std::strerror(errno));
        }
        folder = pattern;
    } else {
        const std::string home = environmentValue("HOME");
        if (!home.empty() &&
            comparable(folder) == comparable(fs::path(home) / "Helmwork" / "NMEA_Bivane")) {
            throw std::runtime_error("--program-folder " + folder +
                                     " is the program's own folder; give another one");
        }
    }
    fs::create_directories(fs::path(folder) / "config", error);
    if (error) {
        throw std::runtime_error("cannot make " + folder + "/config: " + error.message());
    }
    const auto write = [](const fs::path& path, const std::string& text) {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            throw std::runtime_error("cannot write " + path.string());
        }
    };
    write(fs::path(folder) / "Bivane.ini", SettingsFileText(options.offsets));
    const fs::path userSettings = fs::path(folder) / "config" / "NMEA Bivane.ini";
    std::ifstream stored(userSettings, std::ios::binary);
    const std::string existing((std::istreambuf_iterator<char>(stored)),
                               std::istreambuf_iterator<char>());
    write(userSettings, UserSettingsText(existing, options));
    return folder;
}

std::vector<std::string> ProgramArguments(const std::string& folder,
                                          const std::vector<std::string>& devices,
                                          const std::vector<std::string>& extra) {
    std::vector<std::string> arguments{"--program-folder", folder};
    for (std::size_t i = 0; i < devices.size(); ++i) {
        arguments.push_back("--com");
        arguments.push_back(std::to_string(i + 1) + "=" + devices[i]);
    }
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

LaunchedProgram::LaunchedProgram(const std::string& path, const std::vector<std::string>& arguments,
                                 const std::string& configHome) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "XDG_CONFIG_HOME=", 16) != 0) {
            environment.emplace_back(*entry);
        }
    }
    environment.push_back("XDG_CONFIG_HOME=" + configHome);
    std::vector<std::string> argumentTexts{path};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    const auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> result;
        for (std::string& text : texts) {
            result.push_back(text.data());
        }
        result.push_back(nullptr);
        return result;
    };
    std::vector<char*> argv = pointers(argumentTexts);
    std::vector<char*> envp = pointers(environment);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int number : {SIGINT, SIGTERM, SIGHUP, SIGCHLD, SIGPIPE}) {
        sigaddset(&defaults, number);
    }
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int result =
        posix_spawn(&m_pid, path.c_str(), nullptr, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        throw std::runtime_error("cannot start " + path + ": " + std::strerror(result));
    }
}

LaunchedProgram::~LaunchedProgram() {
    terminate(std::chrono::seconds(10));
}

bool ProcessHoldsOpen(pid_t pid, const std::vector<std::string>& devices) {
    std::set<std::string> open;
    std::error_code error;
    for (const auto& entry :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(entry.path(), linkError);
        if (!linkError) {
            open.insert(target.string());
        }
    }
    for (const std::string& device : devices) {
        if (open.count(device) == 0) {
            return false;
        }
    }
    return true;
}

bool LaunchedProgram::ended() {
    if (!m_ended) {
        int status = 0;
        const pid_t result = waitpid(m_pid, &status, WNOHANG);
        m_ended = result == m_pid || (result < 0 && errno == ECHILD);
    }
    return m_ended;
}

void LaunchedProgram::terminate(std::chrono::milliseconds killAfter) {
    if (ended()) {
        return;
    }
    kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + killAfter;
    while (!ended()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(m_pid, SIGKILL);
            int status = 0;
            waitpid(m_pid, &status, 0);
            m_ended = true;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace bivane::sim

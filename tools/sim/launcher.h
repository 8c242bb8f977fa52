#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/options.h"

namespace bivane::sim {

// The program to launch: `explicitPath` when given; else "nmea-bivane" beside
// `selfPath` (this tool), then in the build tree's app/ folder (this tool
// being <build>/tools/sim/nmea-bivane-sim), then in the folders of
// `pathVariable`. Empty when none of them is an executable file.
std::string FindProgram(const std::string& explicitPath, const std::string& selfPath,
                        std::string_view pathVariable);

// This process's own executable.
std::string SelfExecutablePath();

// Makes the program folder for one run: `requested` (created when missing)
// or a new folder under $TMPDIR (else /tmp); in it Bivane.ini for the
// simulated receivers (the offsets, heading output on) and the folder
// "config", the launched program's XDG_CONFIG_HOME, whose per-user settings
// file "NMEA Bivane.ini" gets the sentences and baseline limit of `options`
// (see UserSettingsText). Refuses the program's own default folder, so a run
// never touches the user's settings. Throws std::runtime_error with a
// one-line text.
std::string PrepareProgramFolder(const std::string& requested, const SimOptions& options);

// The per-user settings file `existing` (INI text, empty when there is none)
// with section [Output] holding the sentences of `options`, and its baseline
// limit when one is given; everything else stays as it was (a folder kept
// between runs keeps its window position and ports).
std::string UserSettingsText(std::string_view existing, const SimOptions& options);

// The program's command line after its name.
std::vector<std::string> ProgramArguments(const std::string& folder,
                                          const std::vector<std::string>& devices,
                                          const std::vector<std::string>& extra);

// True when process `pid` has every one of `devices` open.
bool ProcessHoldsOpen(pid_t pid, const std::vector<std::string>& devices);

// A started program. Its environment is this one's with XDG_CONFIG_HOME
// replaced; it starts with no signal blocked and default signal actions.
class LaunchedProgram {
  public:
    // Throws std::runtime_error when it cannot be started.
    LaunchedProgram(const std::string& path, const std::vector<std::string>& arguments,
                    const std::string& configHome);
    // Terminates the program when it still runs.
    ~LaunchedProgram();
    LaunchedProgram(const LaunchedProgram&) = delete;
    LaunchedProgram& operator=(const LaunchedProgram&) = delete;

    // True when the program has every one of `devices` open.
    bool holdsOpen(const std::vector<std::string>& devices) const {
        return ProcessHoldsOpen(m_pid, devices);
    }

    // True once the program has ended (collects it without waiting).
    bool ended();

    // SIGTERM, then SIGKILL when it has not ended after `killAfter`; waits.
    void terminate(std::chrono::milliseconds killAfter);

  private:
    pid_t m_pid = -1;
    bool m_ended = false;
};

}  // namespace bivane::sim

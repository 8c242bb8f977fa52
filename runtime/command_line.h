#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "runtime/network_settings.h"
#include "serial/com_port_map.h"

namespace bivane {

// Which program reads the command line: the window has --screenshot and
// --labels, the service --log; both have the rest.
enum class Program { Window, Service };

// A recording's size before it starts a new file, when no --record-max says.
inline constexpr int kDefaultRecordMaxMb = 100;

// What the command line asks of this run.
struct CommandLine {
    QString programFolder;  // --program-folder DIR; empty: the usual folder
    QString screenshot;     // --screenshot FILE; empty: none
    QString labels;         // --labels FILE: the labels as JSON at exit; empty: none
    // --tcp [ADDRESS:]PORT, --udp ADDRESS:PORT: the network output on for
    // this run at that address, whatever the per-user settings say.
    std::optional<NetworkEndpoint> tcp;
    std::optional<NetworkEndpoint> udp;
    QString record;  // --record FILE: what ports 1 and 2 receive; empty: none
    int recordMaxMb = kDefaultRecordMaxMb;  // --record-max MB; 0: no limit
    bool portsMapped = false;  // some --com was given
    bool log = false;                       // --log: log the heading sentences from the start
    bool help = false;                      // --help: print the usage and end
    QString error;  // why the command line cannot be used; empty when it can
};

// Reads the program's arguments (the first is the program itself). Each
// --com N=DEVICE maps system port N to DEVICE in `ports` for this run.
CommandLine ParseCommandLine(const QStringList& arguments, ComPortMap& ports,
                             Program program = Program::Window);

// The usage text printed by --help and after a wrong command line.
QString CommandLineUsage(Program program = Program::Window);

}  // namespace bivane

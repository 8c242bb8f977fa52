#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "runtime/network_settings.h"
#include "serial/com_port_map.h"

namespace bivane {

// What the command line asks of this run.
struct CommandLine {
    QString programFolder;  // --program-folder DIR; empty: the usual folder
    QString screenshot;     // --screenshot FILE; empty: none
    QString labels;         // --labels FILE: the labels as JSON at exit; empty: none
    // --tcp [ADDRESS:]PORT, --udp ADDRESS:PORT: the network output on for
    // this run at that address, whatever the per-user settings say.
    std::optional<NetworkEndpoint> tcp;
    std::optional<NetworkEndpoint> udp;
    bool help = false;      // --help: print the usage and end
    QString error;          // why the command line cannot be used; empty when it can
};

// Reads the program's arguments (the first is the program itself). Each
// --com N=DEVICE maps system port N to DEVICE in `ports` for this run.
CommandLine ParseCommandLine(const QStringList& arguments, ComPortMap& ports);

// The usage text printed by --help and after a wrong command line.
QString CommandLineUsage();

}  // namespace bivane

#pragma once

#include <QString>
#include <optional>
#include <string>

namespace bivane {

// The program folder, where the settings file and the log folder live, with
// its trailing separator.
struct ProgramFolderSetup {
    std::string folder;
    // Why the folder could not be created, when it could not.
    std::optional<std::string> failure;
};

// The program folder of this run: `forThisRun` when it is not empty (created
// with its parents when missing), else $HOME/Helmwork/NMEA_Bivane/ (on
// Windows C:\Helmwork\NMEA_Bivane\), creating Helmwork and then NMEA_Bivane
// when they are missing. Folders that exist are left as they are.
ProgramFolderSetup PrepareProgramFolder(const QString& forThisRun);

}  // namespace bivane

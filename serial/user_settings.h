#pragma once

#include <QSettings>
#include <memory>

namespace bivane {

// The per-user settings store of the program, application name "NMEA Bivane":
// the INI file "NMEA Bivane.ini" under $XDG_CONFIG_HOME (default ~/.config)
// on Linux and other POSIX systems, the registry on Windows.
std::unique_ptr<QSettings> OpenUserSettings();

}  // namespace bivane

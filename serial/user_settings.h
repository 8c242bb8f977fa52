#pragma once

// Contract for the per-user settings store (implementation to follow).
#include <QSettings>
#include <memory>

namespace bivane {

// The per-user settings store of the program, application name "NMEA Bivane":
// an INI file under $XDG_CONFIG_HOME (default ~/.config) on Linux, the
// registry on Windows.
std::unique_ptr<QSettings> OpenUserSettings();

}  // namespace bivane

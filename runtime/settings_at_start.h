#pragma once

#include <QString>
#include <array>
#include <optional>

#include "heading/compass_state.h"
#include "reception/serial_port.h"
#include "settings/settings_file.h"

namespace bivane {

// What a start makes of the settings file, window or not.
struct SettingsAtStart {
    bool exists = false;
    // Items were read, all or some (the rest keep their built-in values):
    // the ports and offsets follow them.
    bool usable = false;
    // The file was read whole: it holds exactly `items`.
    bool whole = false;
    SettingsItems items;
    // What the user is told: why the file cannot be read, or where its
    // reading stopped and where the file is kept.
    std::optional<QString> report;
};

// Reads the settings file at `path`; a file that cannot be read past some
// line is kept beside it as `path` + ".bad".
SettingsAtStart ReadSettingsAtStart(const QString& path);

// The ports' numbers and settings, the offsets and the heading output
// switch as `items` has them; the ports must be closed.
void ApplySettings(const SettingsItems& items, const std::array<SerialPort*, 3>& ports,
                   CompassState& state);

// The offsets and the heading output switch alone, as `items` has them.
void ApplyStateSettings(const SettingsItems& items, CompassState& state);

}  // namespace bivane

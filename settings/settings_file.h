#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "reception/serial_port.h"

namespace bivane {

// What the settings file keeps for one serial port: the system port number
// and the settings text ("4800,n,8,1").
struct PortSettingsItem {
    std::int16_t number = 1;
    std::string settings{kDefaultPortSettings};

    bool operator==(const PortSettingsItem&) const = default;
};

// The eleven items of the settings file "Bivane.ini". A default-constructed
// value holds the built-in values of a start without the file.
struct SettingsItems {
    // By port index: port(1) GPS 1 (aft), port(2) GPS 2 (forward), port(3)
    // the heading output.
    std::array<PortSettingsItem, 3> ports{{{1, std::string(kDefaultPortSettings)},
                                           {2, std::string(kDefaultPortSettings)},
                                           {3, std::string(kDefaultPortSettings)}}};
    // Antenna offsets, metres; index 0 = GPS 1 (aft), 1 = GPS 2 (forward).
    std::array<double, 2> OffsetX{};
    std::array<double, 2> OffsetY{};
    bool HeadingOutput = false;

    PortSettingsItem& port(int index) { return ports.at(static_cast<std::size_t>(index - 1)); }
    const PortSettingsItem& port(int index) const {
        return ports.at(static_cast<std::size_t>(index - 1));
    }

    bool operator==(const SettingsItems&) const = default;
};

// Why a settings file could not be read to its end: the line (from 1) of the
// first item that could not be taken, and what is wrong with it.
struct SettingsProblem {
    int line = 0;
    std::string description;

    bool operator==(const SettingsProblem&) const = default;
};

struct SettingsRead {
    // Every item read before the problem; the rest keep their built-in values.
    SettingsItems items;
    std::optional<SettingsProblem> problem;
};

// Reads the eleven items of a settings file, in whatever layout: a comma or
// a line end (CR LF, LF or CR) ends an item, so the six lines the writer
// makes, all items on one line and one item to a line read alike. A text
// item stands in double quotes on one line (the quotes keep a settings
// text's own commas inside it) and blanks around an unquoted item do not
// count. Port numbers are whole numbers from 1 to 32767 (a fraction is
// rounded half to even), offsets any numbers with "." as the decimal point,
// the switch #TRUE# or #FALSE#. Anything after the eleventh item is ignored.
// A problem names the line (from 1) its item starts on.
// `checkPortSettings`, when given, says why a settings text cannot be used
// by a port (nothing when it can).
using PortSettingsCheck = std::function<std::optional<std::string>(std::string_view settings)>;
SettingsRead ReadSettingsFile(std::string_view text,
                              const PortSettingsCheck& checkPortSettings = {});

// The text of a settings file holding `items`: six lines ending in CR LF,
// items separated by single commas, settings texts in double quotes,
// numbers in their shortest plain decimal form with "." (so they read back
// exactly), the switch as #TRUE# or #FALSE#. Double quotes and line breaks
// cannot be kept inside a settings text and are left out of it.
std::string WriteSettingsFile(const SettingsItems& items);

// A double as the settings file writes it: "0", "-1.25", "1e-07"; plus and
// minus infinity as "1e999" and "-1e999", which read back as infinity, and a
// value that is not a number as "0".
std::string SettingsNumberText(double value);

}  // namespace bivane

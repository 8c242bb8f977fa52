#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bivane {

enum class PortParity { None, Even, Odd, Mark, Space };
enum class PortStopBits { One, OneAndHalf, Two };

// Speed and framing of a serial port, as a settings text such as
// "4800,n,8,1" gives them.
struct PortSettings {
    std::int32_t speed = 4800;  // bits per second
    PortParity parity = PortParity::None;
    int dataBits = 8;  // 5 to 8
    PortStopBits stopBits = PortStopBits::One;

    friend bool operator==(const PortSettings&, const PortSettings&) = default;
};

// What reading a settings text gave: the settings, or why there are none.
struct PortSettingsReading {
    std::optional<PortSettings> settings;
    std::string failure;  // in plain words, empty when `settings` is set
};

// Reads "speed,parity,data bits,stop bits": a positive whole speed, a parity
// letter n, e, o, m or s (either case), 5 to 8 data bits and 1, 1.5 or 2 stop
// bits. Blanks around an item are allowed.
PortSettingsReading ParsePortSettings(std::string_view text);

}  // namespace bivane

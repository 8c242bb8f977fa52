#include "tools/sim/settings_file.h"

#include <charconv>

namespace bivane::sim {

std::string SettingsNumberText(double value) {
    if (value == 0) {
        return "0";  // also for -0
    }
    // The shortest plain decimal that reads back as the same double; only
    // when that does not fit, the shortest form with an exponent.
    char text[128];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    if (result.ec != std::errc{}) {
        result = std::to_chars(text, text + sizeof text, value);
    }
    return std::string(text, result.ptr);
}

std::string SettingsFileText(const AntennaOffsets& offsets) {
    std::string text;
    for (int port = 1; port <= 3; ++port) {
        text += std::to_string(port) + ",\"4800,n,8,1\"\r\n";
    }
    for (int receiver = 0; receiver < 2; ++receiver) {
        text += SettingsNumberText(offsets.x[receiver]) + "," +
                SettingsNumberText(offsets.y[receiver]) + "\r\n";
    }
    text += "#TRUE#\r\n";
    return text;
}

}  // namespace bivane::sim

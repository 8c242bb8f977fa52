// Fuzz target: the settings-file reader on any text, with and without the
// check that a port can use each settings text. Whatever it reads must come
// back unchanged through the writer: the items of any text, also those read
// before a problem, are written and read again to the same items without a
// problem. The writer leaves double quotes and line breaks out of settings
// texts, but no text the reader gives holds one, so nothing is exempt.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_file.h"
#include "reception/port_settings.h"

namespace {

using namespace bivane;

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "settings file: %s\n", what);
        std::abort();
    }
}

std::optional<std::string> portCanUse(std::string_view settings) {
    PortSettingsReading reading = ParsePortSettings(settings);
    if (!reading.settings) {
        require(!reading.failure.empty(), "a settings text refused without a reason");
        return std::move(reading.failure);
    }
    return std::nullopt;
}

void checkRead(const SettingsRead& read) {
    if (read.problem) {
        require(read.problem->line >= 1, "a problem before line 1");
        require(!read.problem->description.empty(), "a problem without a description");
    }
    for (const PortSettingsItem& port : read.items.ports) {
        require(port.number >= 1, "a port number below 1");
        require(port.settings.find_first_of("\"\r\n") == std::string::npos,
                "a settings text with a quote or a line break");
    }
}

// The items written and read again, with `check` when given.
void checkRoundTrip(const SettingsItems& items, const PortSettingsCheck& check) {
    const std::string written = WriteSettingsFile(items);
    const SettingsRead again = ReadSettingsFile(written, check);
    require(!again.problem.has_value(), "what the writer wrote cannot be read");
    require(again.items == items, "what was read does not come back through the writer");
    require(WriteSettingsFile(again.items) == written, "the writer is not steady");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PortSettingsCheck check = portCanUse;

    const SettingsRead plain = ReadSettingsFile(text);
    const SettingsRead checked = ReadSettingsFile(text, check);
    checkRead(plain);
    checkRead(checked);
    // The check can only stop the reading earlier.
    if (!checked.problem) {
        require(!plain.problem && plain.items == checked.items, "the check changed what was read");
    } else if (plain.problem) {
        require(checked.problem->line <= plain.problem->line, "the check let a reading go further");
    }

    checkRoundTrip(plain.items, {});
    checkRoundTrip(checked.items, check);
    return 0;
}

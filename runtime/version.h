#pragma once

#include <string_view>

namespace bivane {

// The program's title: window title, message boxes, per-user settings.
inline constexpr std::string_view kProgramTitle = "NMEA Bivane";

// Which release this is. It ends the main window's title and follows
// "Version " in the about box.
inline constexpr std::string_view VersionText = "1.05 (2007)";

}  // namespace bivane

#pragma once

#include <string_view>

namespace bivane {

// What the program is for, in a few words: the about box shows it under the
// version line.
inline constexpr std::string_view kProgramDescription =
    "True heading from two GPS receivers on one baseline, sent as an NMEA HDT "
    "sentence for the vessel's other instruments.";

}  // namespace bivane

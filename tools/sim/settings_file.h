#pragma once

#include <string>

#include "tools/sim/options.h"

namespace bivane::sim {

// The whole "Bivane.ini" for a simulated run, written by the program's own
// settings writer: ports 1, 2 and 3 at
// "4800,n,8,1", the antenna offsets, heading output on; each line ends with
// CR LF.
std::string SettingsFileText(const AntennaOffsets& offsets);

}  // namespace bivane::sim

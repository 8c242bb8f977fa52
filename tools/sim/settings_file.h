#pragma once

#include <string>

#include "tools/sim/options.h"

namespace bivane::sim {

// A number as the program's settings file holds it: plain decimal with "."
// as decimal point, no decimal point for whole numbers, "-" when negative;
// very large or small numbers with an exponent.
std::string SettingsNumberText(double value);

// The whole "Bivane.ini" for a simulated run: ports 1, 2 and 3 at
// "4800,n,8,1", the antenna offsets, heading output on; each line ends with
// CR LF.
std::string SettingsFileText(const AntennaOffsets& offsets);

}  // namespace bivane::sim

#pragma once

#include <string>

#include "tools/sim/gga_composer.h"

namespace bivane::sim {

// The other sentences a receiver sends after its GGA, talker GP, checksum and
// CR LF included.

// RMC: time, status A, position, speed over ground (knots), course over
// ground (degrees true), date, mode D (differential) or A.
std::string ComposeRmc(const Fix& fix, const ReceiverStatus& status, int decimals,
                       double speedKnots, double courseDegrees);

// GSA: automatic 3D fix with the satellites in use and PDOP, HDOP, VDOP.
std::string ComposeGsa(const ReceiverStatus& status);

}  // namespace bivane::sim

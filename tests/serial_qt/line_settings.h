#pragma once

#include <string>

namespace bivane::test_support {

// The speed (bits per second) and stop bits (1 or 2) of a terminal device as
// its driver holds them, as "speed,stop bits". These are what a
// pseudo-terminal keeps of a port's settings: it always holds 8 data bits
// without parity, whatever it is asked for.
std::string HeldSpeedAndStopBits(int descriptor);

}  // namespace bivane::test_support

#pragma once

#include "heading/main_window_text.h"
#include "nmea/gga.h"

namespace bivane {

// Fills both receivers' panels and the difference panel "GPS2 - GPS1" from
// the two fixes shown (GPS 1's and GPS 2's), runs the consistency checks (satellites, HDOP,
// quality, station and age), shows the time difference (seconds, GPS 1 minus
// GPS 2) and colours the heading: black when `cycleOk` is still true after
// the checks, light red otherwise. A failed check clears `cycleOk`; nothing
// sets it. Screen numbers use `decimalSeparator`.
// A difference that does not fit its integer type throws CycleFailure; the
// labels refreshed before it keep their new texts.
void RefreshFixPanels(const GgaRecord& gps1, const GgaRecord& gps2, MainWindowText& window,
                      double timeDiffSeconds, bool& cycleOk, char decimalSeparator);

}  // namespace bivane

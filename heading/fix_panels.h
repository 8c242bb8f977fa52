#pragma once

#include "heading/compass_state.h"
#include "heading/main_window_text.h"

namespace bivane {

// Fills both receivers' panels and the difference panel "GPS2 - GPS1" from
// GpsFix(1) and GpsFix(2), runs the consistency checks (satellites, HDOP,
// quality, station and age), shows the time difference (seconds, GPS 1 minus
// GPS 2) and colours the heading: black when `cycleOk` is still true after
// the checks, light red otherwise. A failed check clears `cycleOk`; nothing
// sets it. Screen numbers use `decimalSeparator`.
// A difference that does not fit its integer type throws CycleFailure; the
// labels refreshed before it keep their new texts.
void RefreshFixPanels(const CompassState& state, MainWindowText& window, double timeDiffSeconds,
                      bool& cycleOk, char decimalSeparator);

}  // namespace bivane

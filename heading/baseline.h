#pragma once

#include <optional>
#include <string>

#include "heading/compass_state.h"
#include "heading/main_window_text.h"

namespace bivane {

// Distance and direction between two points of the vessel's plane frame
// (x to starboard, y ahead, metres). distance: metres. azimuth: radians from
// the +y axis turning towards +x (the bearing relative to the bow, clockwise),
// from 0 up to below 2 pi; coincident points give 0.
void PlaneDistanceAzimuth(double x1, double y1, double x2, double y2, double& distance,
                          double& azimuth);

// From the antenna offsets of `state`, sets CalculatedBaseline (metres) and
// HeadingCorrection (radians, -pi/2 up to below 3 pi/2) and shows the length
// in lblCalculated ("0.00" + " m", with `decimalSeparator`).
// When the offsets are so large that the result is not a finite number,
// nothing is changed and the failure's description is returned.
std::optional<std::string> CalculateBaseline(CompassState& state, MainWindowText& window,
                                             char decimalSeparator);

}  // namespace bivane

#include "heading/baseline.h"

#include <cmath>

#include "nmea/angle_constants.h"
#include "nmea/number_format.h"

namespace bivane {

void PlaneDistanceAzimuth(double x1, double y1, double x2, double y2, double& distance,
                          double& azimuth) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    distance = std::sqrt(dx * dx + dy * dy);
    if (dx == 0) {
        azimuth = dy >= 0 ? 0 : kPi;
        return;
    }
    const double t = std::atan(dy / dx);
    azimuth = dx > 0 ? kHalfPi - t : kThreeHalfPi - t;
}

std::optional<std::string> CalculateBaseline(CompassState& state, MainWindowText& window,
                                             char decimalSeparator) {
    double length = 0;
    double az = 0;
    PlaneDistanceAzimuth(state.OffsetX[0], state.OffsetY[0], state.OffsetX[1], state.OffsetY[1],
                         length, az);
    const double correction = az > kHalfPi ? kTwoPi - az : -az;
    if (!std::isfinite(length) || !std::isfinite(correction)) {
        return "The antenna offsets are too large: the calculated baseline overflows";
    }
    state.CalculatedBaseline = length;
    state.HeadingCorrection = correction;
    window.lblCalculated.text = FormatNumber(length, "0.00", decimalSeparator) + " m";
    return std::nullopt;
}

}  // namespace bivane

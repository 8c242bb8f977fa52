#pragma once

// Epochs of a vessel that turns by one degree an epoch, one epoch a second
// from 12:00:00, with GPS 2 five metres from GPS 1 along the heading: any 360
// epochs in a row give 360 different HDT sentences.

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "tests/support/gga_lines.h"

namespace bivane::test {

inline constexpr double kTurningAntennaDistance = 5.0;  // metres

// Centiseconds since midnight of epoch `n`.
inline int EpochCentiseconds(int n) {
    return 12 * 360000 + n * 100;
}

// The receivers' time of epoch `n` as the window shows it ("12:00:03.00").
inline std::string EpochTime(int n) {
    const int time = EpochCentiseconds(n);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%02d", time / 360000 % 24, time / 6000 % 60,
                  time / 100 % 60, time % 100);
    return text;
}

// Both receivers' GGA lines of epoch `n`. A GGA of one epoch is a whole
// second from the other receiver's GGA of the epoch before, so each epoch
// gives one heading.
inline std::pair<std::string, std::string> EpochPair(int n) {
    constexpr double kGps1Latitude = 48.1173;
    constexpr double kGps1Longitude = 11.5167;
    constexpr double kMetresPerDegree = 111200.0;
    constexpr double kPi = 3.14159265358979;
    std::string time = EpochTime(n);
    std::erase(time, ':');
    GgaFields gps1;
    gps1.time = time;
    gps1.latitudeDegrees = kGps1Latitude;
    gps1.longitudeDegrees = kGps1Longitude;
    GgaFields gps2 = gps1;
    const double bearing = (n % 360) * kPi / 180;
    gps2.latitudeDegrees += kTurningAntennaDistance * std::cos(bearing) / kMetresPerDegree;
    gps2.longitudeDegrees += kTurningAntennaDistance * std::sin(bearing) /
                             (kMetresPerDegree * std::cos(kGps1Latitude * kPi / 180));
    return {GgaLine(gps1), GgaLine(gps2)};
}

}  // namespace bivane::test

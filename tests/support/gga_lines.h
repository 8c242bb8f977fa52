#pragma once

// Builds GGA sentences for tests, field by field, with a correct checksum.

#include <cmath>
#include <cstdio>
#include <string>

#include "nmea/hdt.h"

namespace bivane::test {

struct GgaFields {
    std::string talker = "GP";
    std::string time = "123519.00";
    double latitudeDegrees = 48.1173;   // signed, north positive
    double longitudeDegrees = 11.5167;  // signed, east positive
    int quality = 4;
    int satellites = 8;
    std::string hdop = "0.9";
    std::string altitude = "545.4";
    std::string age = "";
    std::string station = "";
};

// "ddmm.mmmmmmm" / "dddmm.mmmmmmm" with seven decimals of minutes.
inline std::string NmeaAngle(double degrees, int degreeDigits) {
    const double magnitude = std::fabs(degrees);
    int whole = static_cast<int>(magnitude);
    double minutes = (magnitude - whole) * 60;
    if (minutes >= 59.99999995) {
        minutes = 0;
        ++whole;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%010.7f", degreeDigits, whole, minutes);
    return text;
}

// The sentence without line ending; `checksum` false leaves out "*hh".
inline std::string GgaSentence(const GgaFields& f, bool checksum = true) {
    std::string s = "$" + f.talker + "GGA," + f.time + ",";
    s += NmeaAngle(f.latitudeDegrees, 2) + (f.latitudeDegrees < 0 ? ",S," : ",N,");
    s += NmeaAngle(f.longitudeDegrees, 3) + (f.longitudeDegrees < 0 ? ",W," : ",E,");
    s += std::to_string(f.quality) + "," + std::to_string(f.satellites) + "," + f.hdop + ",";
    s += f.altitude + ",M,46.9,M," + f.age + "," + f.station;
    if (checksum) {
        s += "*" + NmeaChecksum(s + "*");
    }
    return s;
}

// The sentence as a receiver sends it, with CR LF.
inline std::string GgaLine(const GgaFields& f, bool checksum = true) {
    return GgaSentence(f, checksum) + "\r\n";
}

}  // namespace bivane::test

#include "tools/sim/gga_composer.h"

#include <cmath>
#include <cstdio>

#include "tools/sim/sentence_text.h"

namespace bivane::sim {
namespace {

std::string padded(std::int64_t value, int width) {
    std::string digits = std::to_string(value);
    if (digits.size() < static_cast<std::size_t>(width)) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return digits;
}

std::string coordinateFields(double degrees, int degreeDigits, int decimals, char positive,
                             char negative) {
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    // Whole units of the last decimal, so that rounding carries into the
    // minutes and degrees.
    const std::int64_t units = std::llround(std::fabs(degrees) * 60 * static_cast<double>(scale));
    std::string text = padded(units / (60 * scale), degreeDigits) + padded(units / scale % 60, 2);
    if (decimals > 0) {
        text += "." + padded(units % scale, decimals);
    }
    text += ',';
    text += degrees < 0 && units != 0 ? negative : positive;
    return text;
}

}  // namespace

std::string LatitudeFields(double latitudeDegrees, int decimals) {
    return coordinateFields(latitudeDegrees, 2, decimals, 'N', 'S');
}

std::string LongitudeFields(double longitudeDegrees, int decimals) {
    return coordinateFields(longitudeDegrees, 3, decimals, 'E', 'W');
}

std::string ComposeGga(const Fix& fix, const ReceiverStatus& status, int decimals) {
    char tail[96];
    if (status.quality >= 2) {
        std::snprintf(tail, sizeof tail, "%d,%02d,%.1f,%.1f,M,%.1f,M,%.1f,%04d", status.quality,
                      status.satellites, status.hdop, status.altitude, status.geoidSeparation,
                      status.dgpsAge, status.stationId);
    } else {
        std::snprintf(tail, sizeof tail, "%d,%02d,%.1f,%.1f,M,%.1f,M,,", status.quality,
                      status.satellites, status.hdop, status.altitude, status.geoidSeparation);
    }
    return FinishSentence("$GPGGA," + TimeField(fix.time) + "," +
                          LatitudeFields(fix.position.latitude, decimals) + "," +
                          LongitudeFields(fix.position.longitude, decimals) + "," + tail);
}

}  // namespace bivane::sim

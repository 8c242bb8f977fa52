#include "nmea/rot.h"

#include "nmea/hdt.h"

namespace bivane {

std::string BuildRotSentence(std::string_view talker, std::optional<double> degreesPerMinute) {
    return BuildValueStatusSentence(
        talker, "ROT",
        degreesPerMinute ? std::optional(NmeaNumberText(*degreesPerMinute, "0.0")) : std::nullopt);
}

}  // namespace bivane

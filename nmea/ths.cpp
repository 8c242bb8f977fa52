#include "nmea/ths.h"

#include "nmea/hdt.h"

namespace bivane {

std::string BuildThsSentence(std::string_view talker, std::optional<float> heading) {
    return BuildValueStatusSentence(
        talker, "THS", heading ? std::optional(NmeaNumberText(*heading, "000.0")) : std::nullopt);
}

}  // namespace bivane

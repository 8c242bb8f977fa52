#include "nmea/ths.h"

#include "nmea/hdt.h"

namespace bivane {

std::string BuildThsSentence(std::string_view talker, std::optional<float> heading) {
    std::string sentence = SentenceAddress(talker, "THS");
    if (heading) {
        sentence += NmeaNumberText(*heading, "000.0");
        sentence += ",A";
    } else {
        sentence += ",V";
    }
    sentence += '*';
    sentence += NmeaChecksum(sentence);
    return sentence;
}

}  // namespace bivane

#include "tools/sim/companion_sentences.h"

#include <cstdio>

#include "tools/sim/sentence_text.h"

namespace bivane::sim {

std::string ComposeRmc(const Fix& fix, const ReceiverStatus& status, int decimals,
                       double speedKnots, double courseDegrees) {
    char motion[48];
    std::snprintf(motion, sizeof motion, "%.2f,%.1f", speedKnots, WrapDegrees(courseDegrees));
    return FinishSentence("$GPRMC," + TimeField(fix.time) + "," +
                          (status.quality > 0 ? "A," : "V,") +
                          LatitudeFields(fix.position.latitude, decimals) + "," +
                          LongitudeFields(fix.position.longitude, decimals) + "," + motion + "," +
                          DateField(fix.time) + ",,," + (status.quality >= 2 ? "D" : "A"));
}

std::string ComposeGsa(const ReceiverStatus& status) {
    static constexpr int kSatellites[12] = {2, 5, 6, 9, 12, 15, 17, 19, 24, 25, 28, 30};
    std::string body = status.quality > 0 ? "$GPGSA,A,3" : "$GPGSA,A,1";
    for (int i = 0; i < 12; ++i) {
        char id[8] = "";
        if (status.quality > 0 && i < status.satellites) {
            std::snprintf(id, sizeof id, "%02d", kSatellites[i]);
        }
        body += ",";
        body += id;
    }
    char dops[48];
    std::snprintf(dops, sizeof dops, ",%.1f,%.1f,%.1f", status.hdop * 1.6, status.hdop,
                  status.hdop * 1.3);
    return FinishSentence(body + dops);
}

}  // namespace bivane::sim

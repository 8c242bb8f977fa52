#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "nmea/angle_constants.h"
#include "nmea/gga.h"
#include "nmea/message_sink.h"

namespace bivane::sim::test {

// Keeps the field-failure messages of the program's GGA decoder.
class CountingSink : public MessageSink {
  public:
    void showMessage(std::string_view, std::string_view text) override {
        messages.emplace_back(text);
    }
    std::vector<std::string> messages;
};

// A GGA line as the program decodes it, position in degrees.
struct DecodedFix {
    GgaRecord record;
    double latitude = 0;
    double longitude = 0;
    std::vector<std::string> failures;
};

inline DecodedFix DecodeGga(std::string_view line) {
    DecodedFix fix;
    CountingSink sink;
    ExtractGGA(line, fix.record, sink);
    fix.latitude = fix.record.Latitude * kRadToDeg;
    fix.longitude = fix.record.Longitude * kRadToDeg;
    fix.failures = sink.messages;
    return fix;
}

}  // namespace bivane::sim::test

// Fuzz target: the GGA decoder on any line, into a record that keeps its
// values from one input to the next as a receiver's fix does.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "nmea/gga.h"
#include "nmea/hdt.h"
#include "nmea/number_reader.h"

namespace {

class CountingSink final : public bivane::MessageSink {
  public:
    std::size_t count = 0;
    void showMessage(std::string_view title, std::string_view text) override {
        count += title.empty() && text.empty() ? 0u : 1u;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bivane::GgaRecord record;
    CountingSink sink;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    bivane::ExtractGGA(line, record, sink);
    (void)bivane::NmeaChecksum(line);
    (void)bivane::NumberFromText(line);
    return 0;
}

#include "tools/sim/fault_injector.h"

#include <string_view>

#include "nmea/hdt.h"
#include "tools/sim/sentence_text.h"

namespace bivane::sim {
namespace {

bool chance(double probability, std::mt19937_64& random) {
    return probability > 0 && std::uniform_real_distribution<double>(0, 1)(random) < probability;
}

}  // namespace

FaultInjector::FaultInjector(FaultRates rates, std::uint64_t seed)
    : m_rates(rates), m_random(seed) {}

Fault FaultInjector::apply(std::string& line, bool isGga) {
    // Every decision draws, whatever the earlier ones gave, so that one rate
    // does not shift the faults of another.
    const bool drop = chance(m_rates.drop, m_random);
    const bool garble = chance(m_rates.garbage, m_random);
    const bool badField = isGga && chance(m_rates.badField, m_random);
    if (drop) {
        return Fault::Dropped;
    }
    if (garble) {
        line = Garble(std::move(line), m_random);
        return Fault::Garbled;
    }
    if (badField) {
        line = WithBadField(line, m_random);
        return Fault::BadField;
    }
    return Fault::None;
}

std::string Garble(std::string line, std::mt19937_64& random) {
    const std::size_t star = line.find('*');
    if (star == std::string::npos || star < 2) {
        return line;
    }
    const std::string original = line;
    std::uniform_int_distribution<std::size_t> position(1, star - 1);
    std::uniform_int_distribution<int> count(1, 3);
    std::uniform_int_distribution<int> printable(0x20, 0x7E);
    do {
        line = original;
        for (int n = count(random); n > 0; --n) {
            const std::size_t at = position(random);
            char replacement = 0;
            do {
                replacement = static_cast<char>(printable(random));
            } while (replacement == line[at] || replacement == '$' || replacement == '*' ||
                     replacement == '!');
            line[at] = replacement;
        }
        // Two changes can cancel out in the checksum; then break it again.
    } while (NmeaChecksumMatches(line));
    return line;
}

std::string WithBadField(const std::string& ggaLine, std::mt19937_64& random) {
    struct BadField {
        std::size_t index;
        std::string_view value;
    };
    static constexpr BadField kBadFields[] = {
        {7, "70000"},         // satellites
        {8, "1e39"},          // HDOP
        {9, "4e38"},          // altitude
        {13, "1e40"},         // DGPS age
        {14, "99999999999"},  // station
    };
    const auto& chosen = kBadFields[std::uniform_int_distribution<std::size_t>(
        0, std::size(kBadFields) - 1)(random)];
    return ReplaceField(ggaLine, chosen.index, chosen.value);
}

}  // namespace bivane::sim

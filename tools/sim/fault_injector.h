#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace bivane::sim {

enum class Fault {
    None,
    Dropped,   // not sent at all
    Garbled,   // broken bytes; the checksum no longer matches
    BadField,  // one out-of-range field, checksum correct
};

struct FaultRates {
    double drop = 0;      // probability per sentence
    double garbage = 0;   // probability per sentence
    double badField = 0;  // probability per GGA
};

// Decides, from its own seeded generator, which sentences a fault hits, and
// breaks them.
class FaultInjector {
  public:
    FaultInjector(FaultRates rates, std::uint64_t seed);

    // Decides the fate of one sentence and applies it to `line`. Bad fields
    // only hit GGA lines. A dropped line is left as it is; the caller does not
    // send it.
    Fault apply(std::string& line, bool isGga);

  private:
    FaultRates m_rates;
    std::mt19937_64 m_random;
};

// Replaces 1 to 3 characters between "$" and "*" by other printable ones
// (never "$", "*", "!" or a line end), so that the line stays one line, its
// checksum field stays where it was and the checksum fails.
std::string Garble(std::string line, std::mt19937_64& random);

// Replaces one field of a GGA line by a value that its field cannot hold
// (satellites beyond 16 bits, HDOP, altitude or DGPS age beyond the single-
// precision range, station beyond 32 bits) and renews the checksum.
std::string WithBadField(const std::string& ggaLine, std::mt19937_64& random);

}  // namespace bivane::sim

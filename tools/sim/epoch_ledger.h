#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "tools/sim/transmitter.h"

namespace bivane::sim {

// An HDT sentence matched with the epoch that produced it.
struct Pairing {
    std::int64_t epoch = 0;
    double trueHeading = 0;  // degrees
    double latencyMs = 0;    // from the epoch's completing GGA to the HDT's line feed
};

// How the counted epochs ended.
struct EpochTotals {
    std::int64_t epochs = 0;        // counted epochs
    std::int64_t faulted = 0;       // ... that a fault hit
    std::int64_t lost = 0;          // ... of which a GGA did not arrive intact
    std::int64_t paired = 0;        // ... that got their HDT
    std::int64_t missingClean = 0;  // ... that no fault hit and got no HDT

    bool operator==(const EpochTotals&) const = default;
};

// The record of the counted epochs, shared by the transmitting thread (which
// adds epochs and the times of their GGAs) and the listening thread (which
// pairs HDT sentences with them).
class EpochLedger {
  public:
    // Only counted epochs are recorded; faults of others are ignored.
    void AddEpoch(std::int64_t epoch, double trueHeading);
    // A fault hit one of the epoch's GGAs; `losesEpoch` when the GGA did not
    // arrive intact (dropped, garbled, abandoned).
    void MarkFault(std::int64_t epoch, bool losesEpoch);
    // Right before the write() carrying a GGA's last byte, and right after it
    // returned. `receiver` 0 = GPS 1, 1 = GPS 2.
    void LastByteWriting(std::int64_t epoch, int receiver, SteadyTime at);
    void LastByteWritten(std::int64_t epoch, int receiver, SteadyTime at);

    // Pairs a valid HDT whose line feed arrived at `arrival` with the latest
    // epoch that is not lost, whose completing GGA was being written before
    // then, and that is later than the last paired epoch. Waits (briefly) for
    // the write of that GGA to return when it is still under way. Latency is
    // never below 0: an answer can arrive before the write() has returned.
    std::optional<Pairing> Pair(SteadyTime arrival);

    EpochTotals Totals() const;

  private:
    struct Entry {
        std::int64_t epoch = 0;
        double trueHeading = 0;
        bool faulted = false;
        bool lost = false;
        bool paired = false;
        std::optional<SteadyTime> writing[2];
        std::optional<SteadyTime> written[2];
    };

    Entry* find(std::int64_t epoch);
    static void count(EpochTotals& totals, const Entry& entry);
    void retireBefore(std::int64_t epoch);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Entry> m_entries;  // the epochs that may still be paired
    std::int64_t m_lastPaired = -1;
    EpochTotals m_retired;  // totals of the entries no longer kept
};

}  // namespace bivane::sim

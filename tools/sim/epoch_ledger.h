#pragma once

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
    double latencyMs = 0;    // from the write of the epoch's completing GGA to the HDT's line feed
    // The HDT paired before with this same epoch was its early answer and no
    // longer counts as paired.
    bool replacesEarly = false;
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
    // The program will also answer the epoch early, as soon as the GGA of
    // `receiver` is in: that GGA is within the time tolerance of the other
    // receiver's previous fix too.
    void ExpectEarlyAnswer(std::int64_t epoch, int receiver);
    // A fault hit one of the epoch's GGAs; `losesEpoch` when the GGA did not
    // arrive intact (dropped, garbled, abandoned).
    void MarkFault(std::int64_t epoch, bool losesEpoch);
    // Right before the write() carrying a GGA's last byte. `receiver` 0 =
    // GPS 1, 1 = GPS 2.
    void LastByteWriting(std::int64_t epoch, int receiver, SteadyTime at);

    // Pairs a valid HDT whose line feed arrived at `arrival` with the latest
    // epoch that is not lost, whose completing GGA was being written before
    // then, and that is later than the last paired epoch. An epoch that
    // expects an early answer takes its second HDT: the first HDT after its
    // early GGA is the early answer, and when that one was paired already (it
    // came after the completing GGA) the second replaces it. Latency counts
    // from the start of the write() of the completing GGA's last byte: the
    // writing thread is often put aside as soon as that write wakes the
    // program, and may see its write() return after the answer is in.
    std::optional<Pairing> Pair(SteadyTime arrival);

    EpochTotals Totals() const;

  private:
    struct Entry {
        std::int64_t epoch = 0;
        double trueHeading = 0;
        bool faulted = false;
        bool lost = false;
        bool paired = false;
        int earlyFrom = -1;  // the receiver whose GGA brings an early answer
        bool earlyHeard = false;
        std::optional<SteadyTime> writing[2];
    };

    Entry* find(std::int64_t epoch);
    // The latest epoch whose first GGA write began by `arrival`, or nullptr.
    Entry* latestBegun(SteadyTime arrival);
    static void count(EpochTotals& totals, const Entry& entry);
    void retireBefore(std::int64_t epoch);

    mutable std::mutex m_mutex;
    std::deque<Entry> m_entries;  // the epochs that may still be paired
    std::int64_t m_lastPaired = -1;
    EpochTotals m_retired;  // totals of the entries no longer kept
};

}  // namespace bivane::sim

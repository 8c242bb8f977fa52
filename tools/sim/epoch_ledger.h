#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

#include "tools/sim/pairing_model.h"
#include "tools/sim/transmitter.h"

namespace bivane::sim {

enum class SentenceKind { Hdt, Ths, Rot };

// The sentences the program sends for each epoch.
struct ExpectedSentences {
    bool hdt = true;
    bool ths = false;
    bool rot = false;
};

// What the vessel truly does at an epoch's instant.
struct TrueMotion {
    double heading = 0;     // degrees
    double rateOfTurn = 0;  // degrees per minute, negative when the bow turns to port
};

// What became of one heading sentence.
struct Scoring {
    enum class Outcome {
        Paired,     // the first of its kind for its epoch
        Mispaired,  // its epoch had one of its kind already (scored all the same)
        NoEpoch,    // no epoch has been completed yet: nothing to score against
        NotScored,  // a THS or ROT without a value that belongs to no epoch (a
                    // cycle without a pair: no fix, stale data)
    };
    Outcome outcome = Outcome::NoEpoch;
    std::int64_t instant = 0;
    TrueMotion truth;
    double latencyMs = 0;    // from the write of the completing GGA to the sentence's line feed
};

// How the counted epochs ended.
struct EpochTotals {
    std::int64_t epochs = 0;        // counted epochs
    std::int64_t faulted = 0;       // ... that a fault hit
    std::int64_t lost = 0;          // ... of which a GGA did not arrive intact and
                                    // the program gets no other pair of the instant
    std::int64_t paired = 0;        // ... that got their HDT
    std::int64_t missingClean = 0;  // ... that no fault hit and lack an expected sentence
    std::int64_t perEpochMax = 0;   // most sentences of one kind that one epoch got

    bool operator==(const EpochTotals&) const = default;
};

// The record of the epochs, shared by the transmitting thread (which says
// which epochs the program should answer, and when their GGAs went out) and
// the listening thread (which pairs the heading sentences with them).
//
// An epoch is the instant of one heading: the instant of the newer fix of a
// pair. The program answers it when the GGA that completes the pair is in;
// every sentence is taken for the epoch completed last before it arrived.
class EpochLedger {
  public:
    explicit EpochLedger(ExpectedSentences expected = {}) : m_expected(expected) {}

    // An epoch the program should answer when every sentence arrives intact:
    // it counts. `faulted` when a fault hit one of its fixes, `lost` when one
    // of them does not arrive intact.
    void addEpoch(std::int64_t instant, TrueMotion truth, GgaKey a, GgaKey b, bool faulted,
                  bool lost);
    // The program answers `instant` once the GGA `completing` is in, paired
    // with `partner` (from what it really receives; an instant that addEpoch
    // did not count is scored but not counted).
    void expectAnswer(std::int64_t instant, TrueMotion truth, GgaKey completing, GgaKey partner);
    // A GGA was given up: its epochs are lost and no answer comes from it.
    void markGgaLost(GgaKey gga);
    // Right before the write() carrying a GGA's last byte.
    void lastByteWriting(GgaKey gga, SteadyTime at);

    // Takes a sentence whose line feed arrived at `arrival` for the epoch
    // completed last before then. `valid`: a THS or ROT with status A (always
    // true for HDT). Latency counts from the start of the write() of the completing
    // GGA's last byte: the writing thread is often put aside as soon as that
    // write wakes the program, and may see its write() return after the
    // answer is in.
    Scoring score(SentenceKind kind, bool valid, SteadyTime arrival);

    EpochTotals totals() const;

  private:
    struct Entry {
        TrueMotion truth;
        bool counted = false;
        bool faulted = false;
        bool lost = false;
        GgaKey fixes[2];
        std::optional<GgaKey> completing;
        GgaKey partner;
        std::optional<SteadyTime> completedAt;
        int received[3] = {0, 0, 0};  // by SentenceKind
    };

    void count(EpochTotals& totals, const Entry& entry) const;
    void retireOld();

    const ExpectedSentences m_expected;
    mutable std::mutex m_mutex;
    std::map<std::int64_t, Entry> m_entries;  // by instant
    EpochTotals m_retired;                    // totals of the entries no longer kept
};

}  // namespace bivane::sim

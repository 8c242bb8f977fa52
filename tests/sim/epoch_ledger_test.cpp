#include "tools/sim/epoch_ledger.h"

#include <gtest/gtest.h>

#include <span>

namespace bivane::sim {
namespace {

using std::chrono::milliseconds;

}  // namespace

void PrintTo(const EpochTotals& t, std::ostream* out) {
    *out << "epochs " << t.epochs << ", faulted " << t.faulted << ", lost " << t.lost << ", paired "
         << t.paired << ", missing clean " << t.missingClean;
}

namespace {

// An epoch whose two GGAs were written at `first` and `second` (ms after t0).
void complete(EpochLedger& ledger, std::int64_t epoch, SteadyTime t0, int first, int second) {
    ledger.LastByteWriting(epoch, 0, t0 + milliseconds(first));
    ledger.LastByteWriting(epoch, 1, t0 + milliseconds(second));
}

// An HDT arriving at `arrivalMs` after t0 and what it should pair with.
struct HdtArrival {
    const char* legend;
    int arrivalMs;
    std::int64_t epoch;  // -1: no pairing
    double latencyMs = 0;
    bool replacesEarly = false;
};

// Epoch k's true heading is 10 k degrees.
void expectPairings(EpochLedger& ledger, SteadyTime t0, std::span<const HdtArrival> arrivals) {
    for (const HdtArrival& row : arrivals) {
        const auto pairing = ledger.Pair(t0 + milliseconds(row.arrivalMs));
        if (row.epoch < 0) {
            EXPECT_FALSE(pairing) << row.legend;
            continue;
        }
        ASSERT_TRUE(pairing) << row.legend;
        EXPECT_EQ(pairing->epoch, row.epoch) << row.legend;
        EXPECT_DOUBLE_EQ(pairing->trueHeading, 10.0 * static_cast<double>(row.epoch)) << row.legend;
        EXPECT_NEAR(pairing->latencyMs, row.latencyMs, 1e-6) << row.legend;
        EXPECT_EQ(pairing->replacesEarly, row.replacesEarly) << row.legend;
    }
}

TEST(EpochLedger, PairsEachHdtWithTheLatestCompletedEpochOnce) {
    const SteadyTime t0 = SteadyClock::now();
    EpochLedger ledger;
    for (std::int64_t epoch = 0; epoch < 5; ++epoch) {
        ledger.AddEpoch(epoch, 10.0 * static_cast<double>(epoch));
    }
    ledger.MarkFault(3, true);
    complete(ledger, 0, t0, 0, 1);
    complete(ledger, 1, t0, 100, 102);
    complete(ledger, 2, t0, 200, 201);
    complete(ledger, 4, t0, 400, 403);

    const HdtArrival arrivals[] = {
        {"before any epoch is out", -5, -1},
        {"answer to epoch 0", 4, 0, 3},
        {"a second answer to epoch 0", 6, -1},
        {"answer between GPS 1 and GPS 2 of epoch 1", 101, -1},
        {"late answer: the latest completed epoch, 1 is passed over", 250, 2, 49},
        {"a lost epoch gets nothing", 350, -1},
        {"answer to epoch 4", 410, 4, 7},
    };
    expectPairings(ledger, t0, arrivals);
    // Epoch 3 lost, epoch 1 missing though clean.
    EXPECT_EQ(ledger.Totals(),
              (EpochTotals{.epochs = 5, .faulted = 1, .lost = 1, .paired = 3, .missingClean = 1}));
}

TEST(EpochLedger, AnEarlyAnswerNeverTakesItsEpochsPlace) {
    const SteadyTime t0 = SteadyClock::now();
    EpochLedger ledger;
    for (std::int64_t epoch = 0; epoch < 5; ++epoch) {
        ledger.AddEpoch(epoch, 10.0 * static_cast<double>(epoch));
        if (epoch > 0) {
            ledger.ExpectEarlyAnswer(epoch, 0);
        }
    }
    complete(ledger, 0, t0, 0, 1);
    complete(ledger, 1, t0, 100, 150);  // a paced line: GPS 2 comes well after GPS 1
    complete(ledger, 2, t0, 200, 201);
    complete(ledger, 3, t0, 300, 301);
    ledger.LastByteWriting(4, 0, t0 + milliseconds(400));
    ledger.MarkFault(4, true);  // its GPS 2 GGA never came

    const HdtArrival arrivals[] = {
        {"epoch 0 expects no early answer", 3, 0, 2},
        {"early answer before epoch 1 is complete", 120, -1},
        {"answer to epoch 1", 155, 1, 5},
        {"a third HDT for epoch 1", 160, -1},
        {"early answer after epoch 2 is complete: paired for now", 203, 2, 2},
        {"... and replaced by the epoch's own answer", 204, 2, 3, true},
        {"a third HDT for epoch 2", 205, -1},
        {"epoch 3's early answer never came: its one answer stays", 303, 3, 2},
        {"the early answer of lost epoch 4", 402, -1},
        {"nothing left to answer", 410, -1},
    };
    expectPairings(ledger, t0, arrivals);
    EXPECT_EQ(ledger.Totals(),
              (EpochTotals{.epochs = 5, .faulted = 1, .lost = 1, .paired = 4, .missingClean = 0}));
}

TEST(EpochLedger, ABadFieldFaultsTheEpochButItStillPairs) {
    const SteadyTime t0 = SteadyClock::now();
    EpochLedger ledger;
    ledger.AddEpoch(0, 0);
    ledger.AddEpoch(1, 0);
    ledger.MarkFault(0, false);
    ledger.MarkFault(7, true);  // not a counted epoch: ignored
    complete(ledger, 0, t0, 0, 1);
    ASSERT_TRUE(ledger.Pair(t0 + milliseconds(2)));
    // Epoch 1 never went out.
    EXPECT_EQ(ledger.Totals(),
              (EpochTotals{.epochs = 2, .faulted = 1, .lost = 0, .paired = 1, .missingClean = 1}));
}

}  // namespace
}  // namespace bivane::sim

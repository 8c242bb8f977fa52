#include "tools/sim/epoch_ledger.h"

#include <gtest/gtest.h>

#include <thread>

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
    ledger.LastByteWritten(epoch, 0, t0 + milliseconds(first));
    ledger.LastByteWriting(epoch, 1, t0 + milliseconds(second));
    ledger.LastByteWritten(epoch, 1, t0 + milliseconds(second));
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

    struct Row {
        const char* legend;
        int arrivalMs;
        std::int64_t epoch;  // -1: no pairing
        double latencyMs;
    };
    const Row rows[] = {
        {"before any epoch is out", -5, -1, 0},
        {"answer to epoch 0", 4, 0, 3},
        {"a second answer to epoch 0", 6, -1, 0},
        {"answer between GPS 1 and GPS 2 of epoch 1", 101, -1, 0},
        {"late answer: the latest completed epoch, 1 is passed over", 250, 2, 49},
        {"a lost epoch gets nothing", 350, -1, 0},
        {"answer to epoch 4", 410, 4, 7},
    };
    for (const Row& row : rows) {
        const auto pairing = ledger.Pair(t0 + milliseconds(row.arrivalMs));
        if (row.epoch < 0) {
            EXPECT_FALSE(pairing) << row.legend;
            continue;
        }
        ASSERT_TRUE(pairing) << row.legend;
        EXPECT_EQ(pairing->epoch, row.epoch) << row.legend;
        EXPECT_DOUBLE_EQ(pairing->trueHeading, 10.0 * static_cast<double>(row.epoch)) << row.legend;
        EXPECT_NEAR(pairing->latencyMs, row.latencyMs, 1e-6) << row.legend;
    }
    // Epoch 3 lost, epoch 1 missing though clean.
    EXPECT_EQ(ledger.Totals(),
              (EpochTotals{.epochs = 5, .faulted = 1, .lost = 1, .paired = 3, .missingClean = 1}));
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

TEST(EpochLedger, WaitsForAWriteUnderWayAndNeverGivesANegativeLatency) {
    const SteadyTime t0 = SteadyClock::now();
    EpochLedger ledger;
    ledger.AddEpoch(0, 45);
    ledger.LastByteWriting(0, 0, t0);
    ledger.LastByteWritten(0, 0, t0);
    ledger.LastByteWriting(0, 1, t0 + milliseconds(1));
    // The answer arrived before the writing thread saw its write() return.
    std::thread writer([&] {
        std::this_thread::sleep_for(milliseconds(30));
        ledger.LastByteWritten(0, 1, t0 + milliseconds(20));
    });
    const auto pairing = ledger.Pair(t0 + milliseconds(5));
    writer.join();
    ASSERT_TRUE(pairing);
    EXPECT_EQ(pairing->epoch, 0);
    EXPECT_EQ(pairing->latencyMs, 0);
}

}  // namespace
}  // namespace bivane::sim

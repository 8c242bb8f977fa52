#include "tools/sim/epoch_ledger.h"

#include <gtest/gtest.h>

#include <span>

#include "tools/sim/pairing_model.h"

namespace bivane::sim {

void PrintTo(const EpochTotals& t, std::ostream* out) {
    *out << "epochs " << t.epochs << ", faulted " << t.faulted << ", lost " << t.lost << ", paired "
         << t.paired << ", missing clean " << t.missingClean << ", per epoch max "
         << t.perEpochMax;
}

namespace {

using std::chrono::milliseconds;
using Outcome = Scoring::Outcome;

// Epoch k's true heading is 10 k degrees, its rate of turn -k degrees per
// minute; its GGAs are (k, 0) and (k, 1), and the program answers it once
// (k, `completing`) is in.
void addEpoch(EpochLedger& ledger, std::int64_t k, bool faulted = false, bool lost = false,
              int completing = 1) {
    const TrueMotion truth{10.0 * static_cast<double>(k), -static_cast<double>(k)};
    ledger.addEpoch(k, truth, GgaKey{k, 0}, GgaKey{k, 1}, faulted, lost);
    if (!lost) {
        ledger.expectAnswer(k, truth, GgaKey{k, completing}, GgaKey{k, 1 - completing});
    }
}

struct Arrival {
    const char* legend;
    int arrivalMs;
    SentenceKind kind;
    bool valid;
    Outcome outcome;
    std::int64_t epoch = -1;
    double latencyMs = 0;
};

void expectScorings(EpochLedger& ledger, SteadyTime t0, std::span<const Arrival> arrivals) {
    for (const Arrival& row : arrivals) {
        const Scoring scoring = ledger.score(row.kind, row.valid, t0 + milliseconds(row.arrivalMs));
        EXPECT_EQ(scoring.outcome, row.outcome) << row.legend;
        if (row.epoch >= 0) {
            EXPECT_EQ(scoring.instant, row.epoch) << row.legend;
            EXPECT_DOUBLE_EQ(scoring.truth.heading, 10.0 * static_cast<double>(row.epoch))
                << row.legend;
            EXPECT_DOUBLE_EQ(scoring.truth.rateOfTurn, -static_cast<double>(row.epoch))
                << row.legend;
            EXPECT_NEAR(scoring.latencyMs, row.latencyMs, 1e-6) << row.legend;
        }
    }
}

constexpr auto kHdt = SentenceKind::Hdt;
constexpr auto kThs = SentenceKind::Ths;
constexpr auto kRot = SentenceKind::Rot;

TEST(EpochLedger, EverySentenceGoesToTheEpochCompletedLastAndOneOfAKindIsAllItTakes) {
    const SteadyTime t0 = SteadyClock::now();
    EpochLedger ledger({.hdt = true, .ths = true, .rot = true});
    for (std::int64_t k = 0; k < 5; ++k) {
        addEpoch(ledger, k, false, k == 3);
    }
    addEpoch(ledger, 5, false, false, 0);  // completed by GPS 1's GGA
    addEpoch(ledger, 6);
    for (std::int64_t k = 0; k < 7; ++k) {
        ledger.lastByteWriting(GgaKey{k, 0}, t0 + milliseconds(100 * k));
        ledger.lastByteWriting(GgaKey{k, 1}, t0 + milliseconds(100 * k + 2));
    }

    const Arrival arrivals[] = {
        {"before any epoch is complete", 1, kHdt, true, Outcome::NoEpoch},
        {"a THS without heading then", 1, kThs, false, Outcome::NotScored},
        {"HDT of epoch 0", 4, kHdt, true, Outcome::Paired, 0, 2},
        {"THS of epoch 0, in the same read", 4, kThs, true, Outcome::Paired, 0, 2},
        {"ROT of epoch 0", 4, kRot, true, Outcome::Paired, 0, 2},
        {"a second HDT for epoch 0", 6, kHdt, true, Outcome::Mispaired, 0, 4},
        {"an answer between GPS 1 and GPS 2 of epoch 1 is epoch 0's third", 101, kHdt, true,
         Outcome::Mispaired, 0, 99},
        {"late: the epoch completed last, 1 is passed over", 250, kHdt, true, Outcome::Paired, 2,
         48},
        {"THS of epoch 2", 250, kThs, true, Outcome::Paired, 2, 48},
        {"a THS without heading where epoch 2 had its THS: no pair behind it", 260, kThs, false,
         Outcome::NotScored},
        {"lost epoch 3 completes nothing: epoch 2 again", 303, kHdt, true, Outcome::Mispaired, 2,
         101},
        {"HDT of epoch 4", 410, kHdt, true, Outcome::Paired, 4, 8},
        {"its THS says no heading (a failed check): it is epoch 4's", 410, kThs, false,
         Outcome::Paired, 4, 8},
        {"its ROT has no rate yet: it is epoch 4's", 410, kRot, false, Outcome::Paired, 4, 8},
        {"a second ROT for epoch 4", 412, kRot, true, Outcome::Mispaired, 4, 10},
        {"epoch 5 answers as its GPS 1 GGA is in", 501, kThs, true, Outcome::Paired, 5, 1},
        {"epoch 5's ROT", 501, kRot, true, Outcome::Paired, 5, 1},
        {"epoch 6 gets its HDT", 605, kHdt, true, Outcome::Paired, 6, 3},
        {"and its ROT, no THS", 605, kRot, true, Outcome::Paired, 6, 3},
    };
    expectScorings(ledger, t0, arrivals);
    // Epoch 1 got nothing, 2 no ROT, 5 no HDT, 6 no THS; epoch 0 had three HDTs.
    EXPECT_EQ(ledger.totals(), (EpochTotals{.epochs = 7,
                                            .faulted = 1,
                                            .lost = 1,
                                            .paired = 4,
                                            .missingClean = 4,
                                            .perEpochMax = 3}));
}

TEST(EpochLedger, FaultsAndAbandonedGgasDecideWhatCounts) {
    const SteadyTime t0 = SteadyClock::now();
    EpochLedger ledger;
    addEpoch(ledger, 0, true);  // a bad field or a float solution: still answered
    addEpoch(ledger, 1);
    addEpoch(ledger, 2);
    // A GGA lost on the line, yet the program pairs the instant otherwise
    // (the other receiver's previous fix carried forward): not lost.
    ledger.addEpoch(3, {30, -3}, GgaKey{3, 0}, GgaKey{3, 1}, true, true);
    ledger.expectAnswer(3, {30, -3}, GgaKey{3, 1}, GgaKey{2, 0});
    // An instant the program answers that the clean stream would not have:
    // scored, not counted.
    ledger.expectAnswer(7, {70, -7}, GgaKey{7, 0}, GgaKey{6, 1});
    ledger.markGgaLost(GgaKey{1, 0});  // given up: epoch 1 lost, completes nothing
    ledger.markGgaLost(GgaKey{2, 1});  // the completing one: the same
    for (std::int64_t k : {0, 1, 2, 7}) {
        ledger.lastByteWriting(GgaKey{k, 0}, t0 + milliseconds(10 * k));
        ledger.lastByteWriting(GgaKey{k, 1}, t0 + milliseconds(10 * k + 1));
    }
    const Arrival arrivals[] = {
        {"epoch 0", 2, kHdt, true, Outcome::Paired, 0, 1},
        {"not epoch 1 or 2", 25, kHdt, true, Outcome::Mispaired, 0, 24},
        {"instant 7", 75, kHdt, true, Outcome::Paired, 7, 5},
    };
    expectScorings(ledger, t0, arrivals);
    EXPECT_EQ(ledger.totals(), (EpochTotals{.epochs = 4,
                                            .faulted = 4,
                                            .lost = 2,
                                            .paired = 1,
                                            .missingClean = 0,
                                            .perEpochMax = 2}));
}

// Pairs of the model as (GGA, its stamp): what the arriving GGA completes.
struct ModelStep {
    const char* legend;
    int receiver;
    std::int64_t instant;
    std::int64_t stampMs;
    std::int64_t pairInstant;  // -1: none
    std::int64_t partnerInstant = -1;
};

void expectModel(PairingModel& model, std::span<const ModelStep> steps, bool hasFix = true) {
    for (const ModelStep& step : steps) {
        const auto pair = model.add(GgaKey{step.instant, step.receiver}, step.stampMs, hasFix);
        if (step.pairInstant < 0) {
            EXPECT_FALSE(pair) << step.legend;
            continue;
        }
        ASSERT_TRUE(pair) << step.legend;
        EXPECT_EQ(pair->instant, step.pairInstant) << step.legend;
        EXPECT_EQ(pair->partner.instant, step.partnerInstant) << step.legend;
        EXPECT_EQ(pair->partner.receiver, 1 - step.receiver) << step.legend;
    }
}

TEST(PairingModel, StampsAlikePairInEitherOrderAndOnlyOnce) {
    PairingModel model(200);
    const ModelStep steps[] = {
        {"GPS 1 alone", 0, 0, 1000, -1},
        {"GPS 2 of the same stamp", 1, 0, 1000, 0, 0},
        {"GPS 2 first the next time", 1, 1, 1100, -1},
        {"GPS 1 completes it", 0, 1, 1100, 1, 1},
        {"a repeat of GPS 2's last stamp", 1, 2, 1100, -1},
        {"GPS 1 whose partner is lost: waits", 0, 3, 1200, -1},
        {"next epoch's GPS 1: GPS 2's newest has had its heading", 0, 4, 1300, -1},
        {"GPS 2 of 1.3 s finds its own partner", 1, 4, 1300, 4, 4},
        {"across midnight", 0, 5, 86'399'950, -1},
        {"... stamped alike", 1, 5, 86'399'950, 5, 5},
    };
    expectModel(model, steps);
}

TEST(PairingModel, UnalignedFixesPairWhenTheOlderReceiversGridHasNothingAtTheNewerInstant) {
    {
        // GPS 2 50 ms after GPS 1 at 10 Hz: once GPS 1 has a track, each GPS 2
        // fix pairs with GPS 1's carried forward; the instant is GPS 2's.
        PairingModel model(200);
        const ModelStep steps[] = {
            {"first GPS 1", 0, 0, 0, -1},
            {"GPS 2: GPS 1 has no interval yet", 1, 1, 50, -1},
            {"GPS 1 again: GPS 2 has none either", 0, 2, 100, -1},
            {"GPS 2: GPS 1's grid skips 150", 1, 3, 150, 3, 2},
            {"GPS 1: GPS 2's newest is taken", 0, 4, 200, -1},
            {"GPS 2 again", 1, 5, 250, 5, 4},
            {"GPS 1", 0, 6, 300, -1},
            {"GPS 2 1 ms short of GPS 1's grid: on it, within rounding", 1, 7, 399, -1},
        };
        expectModel(model, steps);
    }
    {
        // GPS 2 at 5 Hz on GPS 1's 10 Hz grid, first where both measure:
        // GPS 1 completes those epochs; the fixes in between wait, then find
        // GPS 2's newest taken.
        PairingModel model(200);
        const ModelStep steps[] = {
            {"GPS 2", 1, 0, 0, -1},
            {"GPS 1 completes it", 0, 0, 0, 0, 0},
            {"GPS 1 between: GPS 2 has no interval yet", 0, 1, 100, -1},
            {"GPS 2: GPS 1's grid has 200", 1, 2, 200, -1},
            {"GPS 1 completes it", 0, 2, 200, 2, 2},
            {"GPS 1 between: GPS 2's newest has had its heading", 0, 3, 300, -1},
        };
        expectModel(model, steps);
    }
    {
        // Out of tolerance, no track, no fix.
        PairingModel model(100);
        const ModelStep steps[] = {
            {"GPS 1", 0, 0, 0, -1},
            {"GPS 1", 0, 1, 1000, -1},
            {"GPS 2 0.1 s after: not below the tolerance", 1, 2, 1100, -1},
            {"GPS 2 a second later: 1.1 s after GPS 1", 1, 3, 2100, -1},
            {"GPS 1 with a 2.5 s gap: no track", 0, 4, 3500, -1},
            {"GPS 2 at 3.55", 1, 5, 3550, -1},
        };
        expectModel(model, steps);
        PairingModel noFix(200);
        const ModelStep withoutFixes[] = {
            {"GPS 1", 0, 0, 0, -1},
            {"GPS 1", 0, 1, 1000, -1},
            {"GPS 2 0.1 s after: a pair, the cycle says no fix", 1, 2, 1100, 2, 1},
        };
        expectModel(noFix, withoutFixes, false);
    }
}

}  // namespace
}  // namespace bivane::sim

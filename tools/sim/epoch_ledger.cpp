#include "tools/sim/epoch_ledger.h"

#include <algorithm>

namespace bivane::sim {
namespace {

// Entries kept: older ones can no longer be answered in any real run.
constexpr std::size_t kMaxEntries = 20'000;
// Entries looked at for the latest completed one: the program answers within
// a few epochs or not at all.
constexpr int kSearchDepth = 64;

}  // namespace

void EpochLedger::count(EpochTotals& totals, const Entry& entry) const {
    for (const int received : entry.received) {
        totals.perEpochMax = std::max(totals.perEpochMax, static_cast<std::int64_t>(received));
    }
    if (!entry.counted) {
        return;
    }
    const bool answered = (!m_expected.hdt || entry.received[0] > 0) &&
                          (!m_expected.ths || entry.received[1] > 0) &&
                          (!m_expected.rot || entry.received[2] > 0);
    ++totals.epochs;
    totals.faulted += entry.faulted ? 1 : 0;
    // A fix lost on the line may leave the program another pair of the same
    // instant (the other receiver's previous fix carried forward).
    totals.lost += entry.lost && !entry.completing ? 1 : 0;
    totals.paired += entry.received[0] > 0 ? 1 : 0;
    totals.missingClean += !entry.faulted && !answered ? 1 : 0;
}

void EpochLedger::retireOld() {
    while (m_entries.size() > kMaxEntries) {
        count(m_retired, m_entries.begin()->second);
        m_entries.erase(m_entries.begin());
    }
}

void EpochLedger::addEpoch(std::int64_t instant, TrueMotion truth, GgaKey a, GgaKey b,
                           bool faulted, bool lost) {
    const std::lock_guard lock(m_mutex);
    Entry& entry = m_entries[instant];
    entry.truth = truth;
    entry.counted = true;
    entry.faulted = faulted || lost;
    entry.lost = lost;
    entry.fixes[0] = a;
    entry.fixes[1] = b;
    retireOld();
}

void EpochLedger::expectAnswer(std::int64_t instant, TrueMotion truth, GgaKey completing,
                               GgaKey partner) {
    const std::lock_guard lock(m_mutex);
    Entry& entry = m_entries[instant];
    entry.truth = truth;
    entry.completing = completing;
    entry.partner = partner;
    retireOld();
}

void EpochLedger::markGgaLost(GgaKey gga) {
    const std::lock_guard lock(m_mutex);
    int depth = 0;
    for (auto it = m_entries.rbegin(); it != m_entries.rend() && depth < kSearchDepth;
         ++it, ++depth) {
        Entry& entry = it->second;
        if (entry.counted && (entry.fixes[0] == gga || entry.fixes[1] == gga)) {
            entry.faulted = true;
            entry.lost = true;
        }
        if (entry.completing && (*entry.completing == gga || entry.partner == gga)) {
            entry.completing.reset();
            entry.completedAt.reset();
        }
    }
}

void EpochLedger::lastByteWriting(GgaKey gga, SteadyTime at) {
    const std::lock_guard lock(m_mutex);
    int depth = 0;
    for (auto it = m_entries.rbegin(); it != m_entries.rend() && depth < kSearchDepth;
         ++it, ++depth) {
        if (it->second.completing == gga) {
            it->second.completedAt = at;
        }
    }
}

Scoring EpochLedger::score(SentenceKind kind, bool valid, SteadyTime arrival) {
    const std::lock_guard lock(m_mutex);
    Scoring scoring;
    std::map<std::int64_t, Entry>::iterator latest = m_entries.end();
    int depth = 0;
    for (auto it = m_entries.rbegin(); it != m_entries.rend() && depth < kSearchDepth;
         ++it, ++depth) {
        const auto& at = it->second.completedAt;
        if (at && *at <= arrival &&
            (latest == m_entries.end() || *at > *latest->second.completedAt)) {
            latest = std::prev(it.base());
        }
    }
    const auto slot = static_cast<std::size_t>(kind);
    if (latest == m_entries.end()) {
        scoring.outcome = valid ? Scoring::Outcome::NoEpoch : Scoring::Outcome::NotScored;
        return scoring;
    }
    Entry& entry = latest->second;
    if (!valid && entry.received[slot] > 0) {
        // A THS or ROT without a value from a cycle that paired nothing.
        scoring.outcome = Scoring::Outcome::NotScored;
        return scoring;
    }
    ++entry.received[slot];
    scoring.outcome =
        entry.received[slot] == 1 ? Scoring::Outcome::Paired : Scoring::Outcome::Mispaired;
    scoring.instant = latest->first;
    scoring.truth = entry.truth;
    scoring.latencyMs =
        std::chrono::duration<double, std::milli>(arrival - *entry.completedAt).count();
    return scoring;
}

EpochTotals EpochLedger::totals() const {
    const std::lock_guard lock(m_mutex);
    EpochTotals totals = m_retired;
    for (const auto& [instant, entry] : m_entries) {
        count(totals, entry);
    }
    return totals;
}

}  // namespace bivane::sim

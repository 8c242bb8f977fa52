#include "tools/sim/epoch_ledger.h"

#include <algorithm>

namespace bivane::sim {
namespace {

// Entries kept at most: older ones can no longer be paired in any real run.
constexpr std::size_t kMaxEntries = 100'000;

bool begun(const std::optional<SteadyTime>& writing, SteadyTime arrival) {
    return writing && *writing <= arrival;
}

}  // namespace

EpochLedger::Entry* EpochLedger::find(std::int64_t epoch) {
    const auto it = std::lower_bound(
        m_entries.begin(), m_entries.end(), epoch,
        [](const Entry& entry, std::int64_t value) { return entry.epoch < value; });
    return it != m_entries.end() && it->epoch == epoch ? &*it : nullptr;
}

void EpochLedger::count(EpochTotals& totals, const Entry& entry) {
    ++totals.epochs;
    totals.faulted += entry.faulted ? 1 : 0;
    totals.lost += entry.lost ? 1 : 0;
    totals.paired += entry.paired ? 1 : 0;
    totals.missingClean += !entry.faulted && !entry.paired ? 1 : 0;
}

void EpochLedger::retireBefore(std::int64_t epoch) {
    while (!m_entries.empty() &&
           (m_entries.front().epoch < epoch || m_entries.size() > kMaxEntries)) {
        count(m_retired, m_entries.front());
        m_entries.pop_front();
    }
}

void EpochLedger::AddEpoch(std::int64_t epoch, double trueHeading) {
    const std::lock_guard lock(m_mutex);
    Entry& entry = m_entries.emplace_back();
    entry.epoch = epoch;
    entry.trueHeading = trueHeading;
    retireBefore(m_lastPaired);
}

void EpochLedger::ExpectEarlyAnswer(std::int64_t epoch, int receiver) {
    const std::lock_guard lock(m_mutex);
    if (Entry* entry = find(epoch)) {
        entry->earlyFrom = receiver;
    }
}

void EpochLedger::MarkFault(std::int64_t epoch, bool losesEpoch) {
    const std::lock_guard lock(m_mutex);
    if (Entry* entry = find(epoch)) {
        entry->faulted = true;
        entry->lost = entry->lost || losesEpoch;
    }
}

void EpochLedger::LastByteWriting(std::int64_t epoch, int receiver, SteadyTime at) {
    const std::lock_guard lock(m_mutex);
    if (Entry* entry = find(epoch)) {
        entry->writing[receiver] = at;
    }
}

EpochLedger::Entry* EpochLedger::latestBegun(SteadyTime arrival) {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (begun(it->writing[0], arrival) || begun(it->writing[1], arrival)) {
            return &*it;
        }
    }
    return nullptr;
}

std::optional<Pairing> EpochLedger::Pair(SteadyTime arrival) {
    const std::lock_guard lock(m_mutex);
    if (Entry* latest = latestBegun(arrival);
        latest != nullptr && latest->earlyFrom >= 0 && !latest->earlyHeard &&
        begun(latest->writing[latest->earlyFrom], arrival) &&
        !begun(latest->writing[1 - latest->earlyFrom], arrival)) {
        // The epoch under way has its early GGA in and expects its answer.
        latest->earlyHeard = true;
        return std::nullopt;
    }
    Entry* candidate = nullptr;
    for (auto it = m_entries.rbegin(); it != m_entries.rend() && it->epoch >= m_lastPaired; ++it) {
        if (!it->lost && begun(it->writing[0], arrival) && begun(it->writing[1], arrival)) {
            candidate = &*it;
            break;
        }
    }
    // The epoch paired last takes a second HDT only when the first was its
    // early answer, and only until the next epoch begins to arrive.
    const bool replacesEarly = candidate != nullptr && candidate->epoch == m_lastPaired &&
                               candidate->earlyFrom >= 0 && !candidate->earlyHeard &&
                               candidate == latestBegun(arrival);
    if (candidate == nullptr || (candidate->epoch == m_lastPaired && !replacesEarly)) {
        return std::nullopt;
    }
    const std::chrono::duration<double, std::milli> latency =
        arrival - std::max(*candidate->writing[0], *candidate->writing[1]);
    candidate->paired = true;
    candidate->earlyHeard = candidate->earlyHeard || replacesEarly;
    m_lastPaired = candidate->epoch;
    const Pairing pairing{candidate->epoch, candidate->trueHeading, latency.count(), replacesEarly};
    retireBefore(m_lastPaired);
    return pairing;
}

EpochTotals EpochLedger::Totals() const {
    const std::lock_guard lock(m_mutex);
    EpochTotals totals = m_retired;
    for (const Entry& entry : m_entries) {
        count(totals, entry);
    }
    return totals;
}

}  // namespace bivane::sim

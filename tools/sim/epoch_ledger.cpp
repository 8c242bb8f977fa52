#include "tools/sim/epoch_ledger.h"

#include <algorithm>

namespace bivane::sim {
namespace {

// How long Pair() waits for a GGA write that is under way.
constexpr auto kWriteWait = std::chrono::seconds(2);
// Entries kept at most: older ones can no longer be paired in any real run.
constexpr std::size_t kMaxEntries = 100'000;

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

void EpochLedger::MarkFault(std::int64_t epoch, bool losesEpoch) {
    {
        const std::lock_guard lock(m_mutex);
        if (Entry* entry = find(epoch)) {
            entry->faulted = true;
            entry->lost = entry->lost || losesEpoch;
        }
    }
    m_changed.notify_all();
}

void EpochLedger::LastByteWriting(std::int64_t epoch, int receiver, SteadyTime at) {
    const std::lock_guard lock(m_mutex);
    if (Entry* entry = find(epoch)) {
        entry->writing[receiver] = at;
    }
}

void EpochLedger::LastByteWritten(std::int64_t epoch, int receiver, SteadyTime at) {
    {
        const std::lock_guard lock(m_mutex);
        if (Entry* entry = find(epoch)) {
            entry->written[receiver] = at;
        }
    }
    m_changed.notify_all();
}

std::optional<Pairing> EpochLedger::Pair(SteadyTime arrival) {
    std::unique_lock lock(m_mutex);
    const SteadyTime waitUntil = SteadyClock::now() + kWriteWait;
    for (;;) {
        Entry* candidate = nullptr;
        for (auto it = m_entries.rbegin(); it != m_entries.rend() && it->epoch > m_lastPaired;
             ++it) {
            if (!it->lost && it->writing[0] && it->writing[1] && *it->writing[0] <= arrival &&
                *it->writing[1] <= arrival) {
                candidate = &*it;
                break;
            }
        }
        if (candidate == nullptr) {
            return std::nullopt;
        }
        const bool done = candidate->written[0] && candidate->written[1];
        if (done || SteadyClock::now() >= waitUntil) {
            const SteadyTime completed =
                done ? std::max(*candidate->written[0], *candidate->written[1])
                     : std::max(*candidate->writing[0], *candidate->writing[1]);
            const std::chrono::duration<double, std::milli> latency = arrival - completed;
            candidate->paired = true;
            m_lastPaired = candidate->epoch;
            Pairing pairing{candidate->epoch, candidate->trueHeading,
                            std::max(0.0, latency.count())};
            retireBefore(m_lastPaired);
            return pairing;
        }
        m_changed.wait_until(lock, waitUntil);
    }
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

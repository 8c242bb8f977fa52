#include "tools/sim/pairing_model.h"

#include <cstdlib>

#include "nmea/utc_time.h"

namespace bivane::sim {
namespace {

constexpr std::int64_t kLongestTrackStepMs = 2000;
// Fixes kept per receiver: enough to find a partner stamped alike.
constexpr std::size_t kKept = 16;

}  // namespace

std::optional<std::int64_t> PairingModel::interval(const std::deque<Seen>& track) {
    if (track.size() < 2) {
        return std::nullopt;
    }
    const std::int64_t step = TimeDifferenceMs(track.back().ms, track[track.size() - 2].ms);
    if (step <= 0 || step > kLongestTrackStepMs) {
        return std::nullopt;
    }
    return step;
}

std::optional<ModelPair> PairingModel::add(GgaKey key, std::int64_t stampMs, bool hasFix) {
    std::deque<Seen>& own = m_tracks[key.receiver];
    std::deque<Seen>& other = m_tracks[1 - key.receiver];
    own.push_back({key.instant, stampMs, hasFix, false});
    if (own.size() > kKept) {
        own.pop_front();
    }
    if (other.empty() || m_toleranceMs <= 0) {
        return std::nullopt;
    }
    Seen& mine = own.back();
    const auto pairWith = [&](Seen& theirs, std::int64_t instant) {
        mine.paired = true;
        theirs.paired = true;
        return ModelPair{instant, GgaKey{theirs.instant, 1 - key.receiver}};
    };
    for (auto it = other.rbegin(); it != other.rend(); ++it) {
        if (it->ms == stampMs) {
            if (it->paired) {
                return std::nullopt;
            }
            // Stamped alike: the later of the two true instants (they differ
            // only when a receiver's clock is skewed).
            return pairWith(*it, std::max(it->instant, key.instant));
        }
    }
    Seen& theirs = other.back();
    const std::int64_t ahead = TimeDifferenceMs(stampMs, theirs.ms);
    if (theirs.paired || std::llabs(ahead) >= m_toleranceMs) {
        return std::nullopt;
    }
    const std::deque<Seen>& older = ahead > 0 ? other : own;
    const std::int64_t newerMs = ahead > 0 ? stampMs : theirs.ms;
    const auto step = interval(older);
    if (!step) {
        return std::nullopt;  // its receiver may still send a fix of that instant
    }
    const std::int64_t offGrid = TimeDifferenceMs(newerMs, older.back().ms) % *step;
    if (offGrid <= 1 || *step - offGrid <= 1) {
        return std::nullopt;  // it will: the newer instant lies on its grid
    }
    if (hasFix && theirs.hasFix &&
        !(older.back().hasFix && older[older.size() - 2].hasFix)) {
        return std::nullopt;  // no track to carry the older fix along
    }
    return pairWith(theirs, ahead > 0 ? key.instant : theirs.instant);
}

}  // namespace bivane::sim

#include "heading/epoch_pairing.h"

#include <cmath>
#include <cstdlib>

#include "nmea/angle_constants.h"
#include "nmea/utc_time.h"

namespace bivane {
namespace {

constexpr std::int64_t kLongestTrackStepMs = 2000;
// A fix stamped this close to a receiver's grid still lies on it (rounding).
constexpr std::int64_t kGridSlackMs = 1;

// A longitude difference the short way round, radians.
double shortWay(double difference) {
    if (difference > kPi) {
        return difference - 2 * kPi;
    }
    if (difference < -kPi) {
        return difference + 2 * kPi;
    }
    return difference;
}

}  // namespace

void EpochPairing::Track::push(const GgaRecord& fix, std::int64_t ms) {
    Entry& entry = m_entries[m_next];
    entry.fix = fix;
    entry.ms = ms;
    entry.paired = false;
    m_next = (m_next + 1) % kCapacity;
    if (m_size < kCapacity) {
        ++m_size;
    }
}

EpochPairing::Entry& EpochPairing::Track::at(std::size_t age) {
    return m_entries[(m_next + kCapacity - 1 - age) % kCapacity];
}

std::optional<std::int64_t> EpochPairing::Track::interval() {
    if (m_size < 2) {
        return std::nullopt;
    }
    const std::int64_t step = TimeDifferenceMs(at(0).ms, at(1).ms);
    if (step <= 0 || step > kLongestTrackStepMs) {
        return std::nullopt;
    }
    return step;
}

bool EpochPairing::Track::mayStillSend(std::int64_t ms) {
    const auto step = interval();
    if (!step) {
        return true;
    }
    const std::int64_t ahead = TimeDifferenceMs(ms, at(0).ms);
    const std::int64_t offGrid = ahead % *step;
    return offGrid <= kGridSlackMs || *step - offGrid <= kGridSlackMs;
}

std::optional<std::array<double, 2>> EpochPairing::Track::carriedTo(std::int64_t ms) {
    const auto step = interval();
    if (!step || at(0).fix.Quality == 0 || at(1).fix.Quality == 0) {
        return std::nullopt;
    }
    const GgaRecord& newest = at(0).fix;
    const GgaRecord& before = at(1).fix;
    const double share =
        static_cast<double>(TimeDifferenceMs(ms, at(0).ms)) / static_cast<double>(*step);
    const double latitude = newest.Latitude + (newest.Latitude - before.Latitude) * share;
    const double longitude =
        newest.Longitude + shortWay(newest.Longitude - before.Longitude) * share;
    return std::array<double, 2>{latitude, shortWay(longitude)};
}

std::optional<FixPair> EpochPairing::add(int receiver, const GgaRecord& fix,
                                         std::int64_t toleranceMs) {
    const auto mine = static_cast<std::size_t>(receiver - 1);
    Track& own = m_tracks[mine];
    Track& other = m_tracks[1 - mine];
    const std::int64_t ms = fix.TimeOfDayMs.value_or(0);
    own.push(fix, ms);
    if (other.size() == 0 || toleranceMs <= 0) {
        return std::nullopt;
    }

    FixPair pair;
    Entry& newEntry = own.at(0);
    // Fixes arrive in the order of their times: going back, those more than
    // the tolerance older than the new fix can neither be its partner nor a
    // repeat of it, and the searches end there.
    const auto tooOld = [&](const Entry& entry) {
        return TimeDifferenceMs(entry.ms, ms) <= -toleranceMs;
    };
    // A repeated sentence of an instant that has had its heading gives none.
    for (std::size_t age = 1; age < own.size() && !tooOld(own.at(age)); ++age) {
        if (own.at(age).ms == ms && own.at(age).paired) {
            newEntry.paired = true;
            return std::nullopt;
        }
    }
    Entry* partner = nullptr;
    // The other receiver's fix of the very same instant, if it has come.
    for (std::size_t age = 0; age < other.size() && partner == nullptr; ++age) {
        Entry& candidate = other.at(age);
        if (tooOld(candidate)) {
            break;
        }
        if (candidate.ms == ms) {
            if (candidate.paired) {
                return std::nullopt;  // that instant has had its heading
            }
            partner = &candidate;
            pair.instantMs = ms;
        }
    }

    if (partner == nullptr) {
        // Receivers that measure at different instants: the older of the two
        // newest fixes is carried forward to the newer one's time, unless its
        // receiver is due to send a fix of that instant itself.
        Entry& theirs = other.at(0);
        const std::int64_t ahead = TimeDifferenceMs(ms, theirs.ms);
        if (theirs.paired || std::llabs(ahead) >= toleranceMs) {
            return std::nullopt;
        }
        Track& olderTrack = ahead > 0 ? other : own;
        const std::int64_t instant = ahead > 0 ? ms : theirs.ms;
        if (olderTrack.mayStillSend(instant)) {
            return std::nullopt;
        }
        partner = &theirs;
        pair.instantMs = instant;
        pair.carried = ahead > 0 ? 3 - receiver : receiver;
        pair.carriedMs = std::llabs(ahead);
        // A receiver without a fix gives no heading anyway: it needs no track.
        if (fix.Quality != 0 && theirs.fix.Quality != 0) {
            const auto carried = olderTrack.carriedTo(instant);
            if (!carried) {
                return std::nullopt;
            }
            const auto slot = static_cast<std::size_t>(pair.carried - 1);
            pair.latitude[slot] = (*carried)[0];
            pair.longitude[slot] = (*carried)[1];
        }
    }

    newEntry.paired = true;
    partner->paired = true;
    pair.fix[mine] = &newEntry.fix;
    pair.fix[1 - mine] = &partner->fix;
    for (std::size_t slot = 0; slot < 2; ++slot) {
        if (pair.carried != static_cast<int>(slot) + 1) {
            pair.latitude[slot] = pair.fix[slot]->Latitude;
            pair.longitude[slot] = pair.fix[slot]->Longitude;
        }
    }
    return pair;
}

}  // namespace bivane

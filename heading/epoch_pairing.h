#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "nmea/gga.h"

namespace bivane {

// Two fixes that give the heading of one instant.
struct FixPair {
    // The two fixes as received: [0] GPS 1, [1] GPS 2. They stay valid until
    // the next fix is added.
    std::array<const GgaRecord*, 2> fix{};
    // The antenna positions at the instant, radians. For receivers whose
    // epochs are not aligned, the older fix is carried forward to the newer
    // fix's time along its own receiver's track.
    std::array<double, 2> latitude{};
    std::array<double, 2> longitude{};
    // The instant, milliseconds since midnight UTC.
    std::int64_t instantMs = 0;
    // Whose fix was carried forward: 0 none (both fixes are of the instant),
    // else the receiver (1 or 2); and over how many milliseconds.
    int carried = 0;
    std::int64_t carriedMs = 0;
};

// Finds, for each fix that arrives, the fix of the other receiver that
// belongs to the same instant, so that every heading comes from two positions
// of one instant and each epoch gives one heading:
// - fixes whose time stamps are equal to the millisecond form a pair, in
//   whatever order they arrive;
// - when the receivers measure at different instants (one a little after the
//   other), the older fix is carried forward to the newer one's time along
//   its receiver's track, from that receiver's last two fixes (at most 2 s
//   apart); the receivers' own time stamps tell which case applies: a fix is
//   only carried when its receiver will not send one of the newer instant;
// - each fix takes part in at most one pair.
class EpochPairing {
  public:
    // Keeps `fix` (whose TimeOfDayMs is set) as the newest of `receiver` (1 or
    // 2) and returns its pair, or nothing while the partner is still to come
    // or there is none. Fixes only pair when less than `toleranceMs` apart.
    std::optional<FixPair> add(int receiver, const GgaRecord& fix, std::int64_t toleranceMs);

  private:
    struct Entry {
        GgaRecord fix;
        std::int64_t ms = 0;
        bool paired = false;
    };

    // One receiver's latest fixes, newest last; a few seconds' worth at the
    // highest rates, so a burst of one receiver still finds its partners.
    class Track {
      public:
        static constexpr std::size_t kCapacity = 32;

        void push(const GgaRecord& fix, std::int64_t ms);
        std::size_t size() const { return m_size; }
        // age 0 is the newest entry, 1 the one before, ...
        Entry& at(std::size_t age);
        // The interval between the two newest fixes, when it is a usable
        // fix interval (above 0, at most 2 s).
        std::optional<std::int64_t> interval();
        // True unless the receiver's fix interval shows that it will send no
        // fix at `ms` (later than its newest); an unknown interval could
        // still bring one.
        bool mayStillSend(std::int64_t ms);
        // The newest fix's position carried forward to `ms`, from the two
        // newest fixes; nothing without a usable track.
        std::optional<std::array<double, 2>> carriedTo(std::int64_t ms);

      private:
        std::array<Entry, kCapacity> m_entries{};
        std::size_t m_next = 0;
        std::size_t m_size = 0;
    };

    std::array<Track, 2> m_tracks;
};

}  // namespace bivane

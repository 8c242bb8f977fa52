#pragma once

#include <cstdint>
#include <deque>
#include <optional>

namespace bivane::sim {

// One GGA the simulator sends: the instant (the simulator's running count of
// measuring instants) and the receiver (0 = GPS 1, 1 = GPS 2).
struct GgaKey {
    std::int64_t instant = 0;
    int receiver = 0;

    bool operator==(const GgaKey&) const = default;
};

// Two fixes that the heading program should turn into one heading.
struct ModelPair {
    std::int64_t instant = 0;  // the newer fix's instant: the heading's truth
    GgaKey partner;            // the fix that was waiting
};

// What a correct heading program makes of the GGAs it receives, from their
// time stamps alone: fixes stamped alike pair; otherwise the two newest fixes
// pair when less than the time tolerance apart, neither has had its heading,
// and the older fix's receiver shows by its own fix interval (its last two
// fixes, at most 2 s apart) that it will send nothing at the newer fix's
// instant; the older fix is then carried forward along that track, which
// needs both of its last two fixes to be fixes. Each fix pairs at most once.
// The simulator feeds it the GGAs in the order they reach the program, so it
// knows which GGA should bring a heading and of which instant.
class PairingModel {
  public:
    explicit PairingModel(std::int64_t toleranceMs) : m_toleranceMs(toleranceMs) {}

    // A GGA of `key` stamped `stampMs` (milliseconds of the day) arrives;
    // `hasFix` when its quality is not 0. Returns the pair it completes.
    std::optional<ModelPair> add(GgaKey key, std::int64_t stampMs, bool hasFix);

  private:
    struct Seen {
        std::int64_t instant = 0;
        std::int64_t ms = 0;
        bool hasFix = false;
        bool paired = false;
    };
    // The interval of a receiver's last two fixes, when it is a usable one.
    static std::optional<std::int64_t> interval(const std::deque<Seen>& track);

    std::int64_t m_toleranceMs;
    std::deque<Seen> m_tracks[2];
};

}  // namespace bivane::sim

#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace bivane::sim {

using SteadyClock = std::chrono::steady_clock;
using SteadyTime = SteadyClock::time_point;

// One line for one device.
struct OutgoingSentence {
    std::string bytes;
    std::int64_t epoch = -1;  // the epoch it belongs to
    int receiver = 0;         // 0 = GPS 1, 1 = GPS 2
    bool isGga = false;
    SteadyTime notBefore{};  // its first byte goes out no earlier
    SteadyTime giveUp{};     // not started by then, or stuck then: abandoned
};

// Told about each sentence's last byte, on the transmitting thread.
class TransmitObserver {
  public:
    virtual ~TransmitObserver() = default;
    // Right before the write() that carries the sentence's last byte.
    virtual void lastByteWriting(const OutgoingSentence& sentence, SteadyTime at) = 0;
    // The sentence is out (`written`, `at` taken right after the write()
    // returned) or abandoned (`at` = when it was given up).
    virtual void sentenceDone(const OutgoingSentence& sentence, bool written, SteadyTime at) = 0;
};

// Writes queued sentences to non-blocking devices, each device its own line:
// whole sentences at once, or character by character at the pace of a serial
// line. Never waits itself: the caller sleeps until nextWake() or until one of
// blockedDevices() can take data, then calls service() again.
class Transmitter {
  public:
    // `paceBaud` 0 writes whole sentences at once.
    Transmitter(std::vector<int> devices, long paceBaud, TransmitObserver& observer);

    void enqueue(std::size_t device, OutgoingSentence sentence);

    // Writes every byte that is due at `now`.
    void service(SteadyTime now);

    // When service() has more to do (nothing when every queue is empty or
    // waits only for room on its device).
    std::optional<SteadyTime> nextWake() const;

    // The devices whose last write found no room.
    std::vector<int> blockedDevices() const;

    // No sentence waits to be written.
    bool idle() const;

    // Sentences given up so far.
    std::int64_t abandoned() const { return m_abandoned; }

  private:
    struct Line {
        int fd = -1;
        std::deque<OutgoingSentence> queue;
        std::size_t written = 0;  // bytes of the queue's front that are out
        SteadyTime start{};       // when the front's first byte was due
        SteadyTime free{};        // when the line is free after the last sentence
        bool blocked = false;
        std::string terminator;  // closes a line that was abandoned half-written
    };

    bool serviceLine(Line& line, SteadyTime now);
    void abandon(Line& line, SteadyTime now);
    SteadyClock::duration charactersTime(std::size_t count) const;

    std::vector<Line> m_lines;
    std::chrono::duration<double> m_characterTime;
    TransmitObserver& m_observer;
    std::int64_t m_abandoned = 0;
};

}  // namespace bivane::sim

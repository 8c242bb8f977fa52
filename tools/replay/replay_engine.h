#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "engine/heading_engine.h"
#include "heading/compass_state.h"
#include "nmea/message_sink.h"
#include "reception/capture.h"
#include "reception/memory_port.h"

namespace bivane {

struct ReplayOptions {
    std::array<double, 4> offsets{};  // X1, Y1, X2, Y2, metres
    float tolerance = 0.2f;           // seconds
    SentenceChoice sentences{HeadingSentence::Hdt};
    double baselineLimit = 1.0;  // degrees
};

// The heading engine without a window, in the state of a start with a
// settings file: heading output on, the calculated baseline computed from the
// offsets. Port 3's output goes to `headingOutput`; screen texts use ".".
// The error line carries the event's arrival time (UTC) where the window
// shows the local time, or GPS 1's fix time for an event without one, so a
// replay gives the same labels every time.
class ReplayEngine {
  public:
    ReplayEngine(const ReplayOptions& options, std::function<void(std::string_view)> headingOutput,
                 MessageSink& decoderMessages);
    ReplayEngine(const ReplayEngine&) = delete;
    ReplayEngine& operator=(const ReplayEngine&) = delete;

    // One receive event on port 1, 2 or 3 bringing `characters`.
    void receive(int port, std::string_view characters);
    // One line-condition event on port 1, 2 or 3.
    void lineCondition(int port, int code);
    // One event of a capture, at its arrival time.
    void play(const PortEvent& event);

    const MainWindowText& window() const { return m_engine.text(); }
    const CompassState& state() const { return m_engine.state(); }
    HeadingCycle& cycle() { return m_engine.cycle(); }

  private:
    // The arrival time of the event being played, else GPS 1's fix time
    // once the engine it reads is there.
    class FixTimeClock final : public LocalClock {
      public:
        void read(const CompassState& state) { m_state = &state; }
        void setArrival(std::optional<std::int64_t> microseconds) { m_arrivalUs = microseconds; }
        LocalTime now() const override;

      private:
        const CompassState* m_state = nullptr;
        std::optional<std::int64_t> m_arrivalUs;
    };
    class NoLogFile final : public TextOutput {
      public:
        IoResult write(std::string_view) override {
            return IoResult::Failure("There is no log file in a replay");
        }
    };

    MemoryPort& port(int index);

    std::array<MemoryPort, 3> m_ports{MemoryPort(1), MemoryPort(2), MemoryPort(3)};
    NoLogFile m_logFile;
    FixTimeClock m_clock;
    HeadingEngine m_engine;
};

}  // namespace bivane

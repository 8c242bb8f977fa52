// Fuzz target: reception and the whole heading cycle. The input is a script of
// port events: each step's first byte chooses what happens (characters on a
// port, a line condition, heading output or logging switched, the tolerance
// changed, an output made to fail), the bytes after it are its argument.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/heading_engine.h"
#include "heading/baseline.h"
#include "reception/memory_port.h"

namespace {

using namespace bivane;

class Clock final : public LocalClock {
  public:
    LocalTime now() const override { return {}; }
};

class Log final : public TextOutput {
  public:
    bool fail = false;
    std::size_t written = 0;
    IoResult write(std::string_view text) override {
        if (fail) {
            return IoResult::Failure("log write failed");
        }
        written += text.size();
        return {};
    }
};

class Script {
  public:
    Script(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool done() const { return m_at >= m_size; }
    std::uint8_t byte() { return done() ? 0 : m_data[m_at++]; }
    std::string_view bytes(std::size_t count) {
        const std::size_t n = count < m_size - m_at ? count : m_size - m_at;
        const std::string_view text(reinterpret_cast<const char*>(m_data + m_at), n);
        m_at += n;
        return text;
    }

  private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::array<MemoryPort, 3> ports{MemoryPort(1), MemoryPort(2), MemoryPort(3)};
    Log log;
    Clock clock;
    DiscardedMessages sink;
    HeadingEngine engine({.ports = {&ports[0], &ports[1], &ports[2]},
                          .logFile = &log,
                          .decoderMessages = &sink,
                          .clock = &clock,
                          .decimalSeparator = ','});
    CompassState& state = engine.state();
    MainWindowText& window = engine.text();
    const Reception& reception = engine.reception();
    for (MemoryPort& port : ports) {
        (void)port.open();
    }
    state.HeadingOutput = true;

    constexpr int kConditions[] = {
        kEventBreak, kEventFrame, kEventOverrun, kEventRxOver, kEventParity, 0, 3, 4711};
    Script script(data, size);
    while (!script.done()) {
        const std::uint8_t step = script.byte();
        const std::uint8_t argument = script.byte();
        MemoryPort& port = ports[step % 3];
        switch ((step / 3) % 8) {
            case 0:
            case 1:
            case 2:
                port.receive(script.bytes(argument));
                break;
            case 3:
                port.lineCondition(kConditions[argument % 8]);
                break;
            case 4:
                state.HeadingOutput = argument & 1;
                state.Logging = argument & 2;
                log.fail = argument & 4;
                if (argument & 8) {
                    ports[2].close();
                } else {
                    (void)ports[2].open();
                }
                break;
            case 5:
                state.TimeTolerance = static_cast<float>(static_cast<std::int8_t>(argument)) / 10;
                break;
            case 6: {
                // Offsets from the next eight bytes, wild ones included.
                const std::string_view raw = script.bytes(8);
                for (std::size_t k = 0; k < raw.size(); ++k) {
                    const double value =
                        (static_cast<std::int8_t>(raw[k]) * 1.0) * (argument & 0x80 ? 1e300 : 0.5);
                    (k % 2 ? state.OffsetY : state.OffsetX)[k / 4] = value;
                }
                (void)CalculateBaseline(state, window, '.');
                break;
            }
            default:
                ports[2].clearWritten();
                break;
        }
        if (reception.ReceiveBuffer(1).size() > kMaxBufferedCharacters ||
            reception.ReceiveBuffer(2).size() > kMaxBufferedCharacters) {
            __builtin_trap();  // the buffers must stay bounded
        }
    }
    return 0;
}

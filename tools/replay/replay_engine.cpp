#include "tools/replay/replay_engine.h"

#include <stdexcept>
#include <string>

#include "heading/baseline.h"

namespace bivane {

ReplayEngine::ReplayEngine(const ReplayOptions& options,
                           std::function<void(std::string_view)> headingOutput,
                           MessageSink& decoderMessages)
    : m_engine({.ports = {&m_ports[0], &m_ports[1], &m_ports[2]},
                .logFile = &m_logFile,
                .decoderMessages = &decoderMessages,
                .clock = &m_clock,
                .decimalSeparator = '.'}) {
    m_clock.read(m_engine.state());
    CompassState& state = m_engine.state();
    state.OffsetX = {options.offsets[0], options.offsets[2]};
    state.OffsetY = {options.offsets[1], options.offsets[3]};
    state.HeadingOutput = true;
    for (int i = 1; i <= 3; ++i) {
        if (const IoResult opened = port(i).open(); !opened.ok()) {
            throw std::runtime_error(opened.failure());
        }
    }
    port(3).setOutputSink(std::move(headingOutput));
    if (auto failure = CalculateBaseline(state, m_engine.text(), '.')) {
        throw std::runtime_error(*failure);
    }
    state.TimeTolerance = options.tolerance;
    state.Sentences = options.sentences;
    state.BaselineLimit = options.baselineLimit;
    state.HdtData.TalkerID = "GP";
}

MemoryPort& ReplayEngine::port(int index) {
    if (index < 1 || index > 3) {
        throw std::out_of_range("no port " + std::to_string(index));
    }
    return m_ports[static_cast<std::size_t>(index - 1)];
}

void ReplayEngine::receive(int index, std::string_view characters) {
    port(index).receive(characters);
}

void ReplayEngine::lineCondition(int index, int code) {
    port(index).lineCondition(code);
}

LocalTime ReplayEngine::FixTimeClock::now() const {
    LocalTime time;
    if (m_state == nullptr) {
        return time;
    }
    if (const auto ms = m_state->GpsFix[1].TimeOfDayMs) {
        const std::int64_t seconds = *ms / 1000;
        time.hour = static_cast<int>(seconds / 3600);
        time.minute = static_cast<int>(seconds / 60 % 60);
        time.second = static_cast<int>(seconds % 60);
    }
    return time;
}

}  // namespace bivane

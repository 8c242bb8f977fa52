#include "tools/replay/replay_engine.h"

#include <chrono>
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

void ReplayEngine::play(const PortEvent& event) {
    m_clock.setArrival(event.arrivalUs);
    if (event.receive) {
        receive(event.port, event.characters);
    } else {
        lineCondition(event.port, event.code);
    }
    m_clock.setArrival(std::nullopt);
}

LocalTime ReplayEngine::FixTimeClock::now() const {
    using namespace std::chrono;
    LocalTime time;
    if (m_arrivalUs) {
        const sys_time<microseconds> arrival{microseconds(*m_arrivalUs)};
        const sys_days date = floor<days>(arrival);
        const year_month_day calendar{date};
        const hh_mm_ss<seconds> of{floor<seconds>(arrival - date)};
        time.year = static_cast<int>(calendar.year());
        time.month = static_cast<int>(static_cast<unsigned>(calendar.month()));
        time.day = static_cast<int>(static_cast<unsigned>(calendar.day()));
        time.hour = static_cast<int>(of.hours().count());
        time.minute = static_cast<int>(of.minutes().count());
        time.second = static_cast<int>(of.seconds().count());
        return time;
    }
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

#include "reception/reception.h"

#include <stdexcept>

#include "heading/error_line.h"
#include "nmea/gga.h"
#include "nmea/hdt.h"

namespace bivane {
namespace {

// A line that carries a checksum ("*" after the data) must carry the right
// one: one flipped byte in a position would otherwise become a wrong heading.
// A line without "*" comes from a receiver that sends no checksum.
bool checksumAcceptable(std::string_view line) {
    return line.find('*') == std::string_view::npos || NmeaChecksumMatches(line);
}

}  // namespace

Reception::Reception(SerialPort& gps1, SerialPort& gps2, CompassState& state,
                     MainWindowText& window, HeadingCycle& cycle, MessageSink& decoderMessages,
                     const LocalClock& clock)
    : m_ports{&gps1, &gps2},
      m_state(state),
      m_window(window),
      m_cycle(cycle),
      m_decoderMessages(decoderMessages),
      m_clock(clock) {}

const std::string& Reception::ReceiveBuffer(int index) const {
    if (index != 1 && index != 2) {
        throw std::out_of_range("no receive buffer for port " + std::to_string(index));
    }
    return m_receiveBuffer[static_cast<std::size_t>(index - 1)];
}

void Reception::discardPartialLine(int index) {
    if (index == 1 || index == 2) {
        m_receiveBuffer[static_cast<std::size_t>(index - 1)].clear();
    }
}

void Reception::MSComm1_OnComm(int index) {
    if (index != 1 && index != 2) {
        return;  // the heading output's events are never read
    }
    const auto entry = static_cast<std::size_t>(index - 1);
    SerialPort& port = *m_ports[entry];
    std::string& buffer = m_receiveBuffer[entry];
    const int code = port.eventCode();
    if (code == kEventReceive) {
        const std::string characters = port.readInput();
        if (m_tap != nullptr) {
            m_tap->received(index, characters);
        }
        buffer += characters;
        takeLines(index, buffer);
        return;
    }
    if (m_tap != nullptr) {
        m_tap->lineCondition(index, code);
    }
    switch (code) {
        case kEventBreak:
        case kEventFrame:
        case kEventOverrun:
        case kEventRxOver:
        case kEventParity:
            // The partly received line is damaged: start the next one clean.
            buffer.clear();
            break;
        default:
            break;
    }
}

void Reception::takeLines(int index, std::string& buffer) {
    // Every complete line, in order: a receiver that sends a burst of
    // sentences must not leave lines behind to grow stale.
    std::size_t start = 0;
    for (std::size_t lineFeed = buffer.find('\n'); lineFeed != std::string::npos;
         lineFeed = buffer.find('\n', start)) {
        handleLine(index, std::string_view(buffer).substr(start, lineFeed + 1 - start));
        start = lineFeed + 1;
    }
    buffer.erase(0, start);
    if (buffer.size() > kMaxBufferedCharacters) {
        buffer.clear();
    }
}

void Reception::handleLine(int index, std::string_view line) {
    if (!IsGgaSentence(line)) {
        return;
    }
    if (!checksumAcceptable(line)) {
        ShowErrorLine(m_window, m_clock, "GGA checksum error on GPS " + std::to_string(index));
        return;
    }
    m_window.lblGGA[index].text = line;
    ExtractGGA(line, m_state.GpsFix[static_cast<std::size_t>(index)], m_decoderMessages);
    m_cycle.MainLoop(index);
}

}  // namespace bivane

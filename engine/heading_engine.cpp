#include "engine/heading_engine.h"

#include <stdexcept>
#include <string>

#include "heading/error_line.h"

namespace bivane {
namespace {

template <typename T>
T& required(T* part, const char* name) {
    if (part == nullptr) {
        throw std::invalid_argument(std::string("the heading engine needs its ") + name);
    }
    return *part;
}

}  // namespace

HeadingEngine::HeadingEngine(const Parts& parts)
    : m_ports{&required(parts.ports[0], "GPS 1 port"), &required(parts.ports[1], "GPS 2 port"),
              &required(parts.ports[2], "heading output port")},
      m_clock(required(parts.clock, "clock")),
      m_headingOutput(*m_ports[2]),
      m_cycle(m_state, m_text, m_headingOutput, required(parts.logFile, "log file"), m_clock,
              parts.decimalSeparator),
      m_reception(*m_ports[0], *m_ports[1], m_state, m_text, m_cycle,
                  required(parts.decoderMessages, "decoder message sink"), m_clock) {
    for (int index = 1; index <= 3; ++index) {
        port(index).setEventHandler([this, index] { portEvent(index); });
    }
}

SerialPort& HeadingEngine::port(int index) const {
    if (index < 1 || index > 3) {
        throw std::out_of_range("no port with index " + std::to_string(index));
    }
    return *m_ports[static_cast<std::size_t>(index - 1)];
}

void HeadingEngine::portEvent(int index) {
    m_reception.MSComm1_OnComm(index);
    textChanged();
}

void HeadingEngine::portLost(int index) {
    // The line cut short by the loss must not join the first line after
    // the device is back.
    m_reception.discardPartialLine(index);
    ShowErrorLine(m_text, m_clock, ComPortText(port(index).portNumber()) + " disconnected");
    textChanged();
}

void HeadingEngine::portBack(int index) {
    ShowErrorLine(m_text, m_clock, ComPortText(port(index).portNumber()) + " reconnected");
    textChanged();
}

void HeadingEngine::textChanged() const {
    if (m_textChanged) {
        m_textChanged();
    }
}

}  // namespace bivane

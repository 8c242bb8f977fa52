#include "reception/memory_port.h"

namespace bivane {

IoResult MemoryPort::open() {
    if (!m_openFailure.empty()) {
        return IoResult::Failure(m_openFailure);
    }
    m_open = true;
    return {};
}

std::string MemoryPort::readInput() {
    std::string input;
    input.swap(m_input);
    return input;
}

IoResult MemoryPort::writeOutput(std::string_view text) {
    if (!m_writeFailure.empty()) {
        return IoResult::Failure(m_writeFailure);
    }
    if (m_sink) {
        m_sink(text);
    } else {
        m_written += text;
    }
    return {};
}

void MemoryPort::receive(std::string_view characters) {
    m_input += characters;
    m_eventCode = kEventReceive;
    raiseEvent();
}

void MemoryPort::lineCondition(int code) {
    m_eventCode = code;
    raiseEvent();
}

}  // namespace bivane

#include "reception/port_text_output.h"

#include "nmea/number_format.h"

namespace bivane {

std::string ComPortText(std::int16_t number) {
    return "Com port " + SignedNumberText(number);
}

IoResult PortTextOutput::write(std::string_view text) {
    if (!m_port.isOpen()) {
        return IoResult::Failure(ComPortText(m_port.portNumber()) + " is not open");
    }
    return m_port.writeOutput(text);
}

}  // namespace bivane

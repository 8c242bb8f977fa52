#pragma once

#include "heading/text_output.h"
#include "reception/serial_port.h"

namespace bivane {

// The heading output port as the heading cycle writes to it: a port that is
// not open is a failed write.
class PortTextOutput final : public TextOutput {
  public:
    explicit PortTextOutput(SerialPort& port) : m_port(port) {}
    IoResult write(std::string_view text) override;

  private:
    SerialPort& m_port;
};

// "Com port  3": the port's number as the program's messages name it.
std::string ComPortText(std::int16_t number);

}  // namespace bivane

#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "serial/com_port_map.h"
#include "serial/qt_serial_port.h"
#include "tests/serial_qt/pseudo_terminal.h"

namespace bivane::test {

// The window's three ports (index 1 to 3) on QSerialPort, closed, each on
// its own system port; system ports 1 to 4 are pseudo-terminals.
class PortsOnLines {
  public:
    PortsOnLines() {
        for (int number = 1; number <= static_cast<int>(m_lines.size()); ++number) {
            devices.mapForThisRun(number, line(number).devicePath());
        }
    }
    ~PortsOnLines() {
        for (auto& port : m_ports) {
            port->setEventHandler(nullptr);  // what it calls may go first
        }
    }

    // The far end of system port `number`, 1 to 4.
    test_support::PseudoTerminal& line(int number) {
        return m_lines.at(static_cast<std::size_t>(number - 1));
    }
    QtSerialPort& port(int index) { return *m_ports.at(static_cast<std::size_t>(index - 1)); }
    std::array<SerialPort*, 3> all() { return {&port(1), &port(2), &port(3)}; }

  private:
    std::array<test_support::PseudoTerminal, 4> m_lines;

  public:
    ComPortMap devices;

  private:
    std::array<std::unique_ptr<QtSerialPort>, 3> m_ports{
        std::make_unique<QtSerialPort>(1, devices), std::make_unique<QtSerialPort>(2, devices),
        std::make_unique<QtSerialPort>(3, devices)};
};

}  // namespace bivane::test

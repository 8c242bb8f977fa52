#pragma once

#include <functional>
#include <memory>

#include "reception/serial_port.h"
#include "serial/com_port_map.h"

namespace bivane {

// Makes the main window's serial port of index 1 to 3. The port calls
// `lost` with its index when it has lost its device (a receiver unplugged)
// and has closed itself.
using PortFactory =
    std::function<std::unique_ptr<SerialPort>(int index, std::function<void(int)> lost)>;

class PortInputThread;

// The program's ports: QSerialPort on the devices that `ports` names. With
// `inputThread`, GPS 1 and GPS 2 are read on it. The map and the thread
// must outlive the ports.
PortFactory QtPortFactory(const ComPortMap& ports, PortInputThread* inputThread = nullptr);

}  // namespace bivane

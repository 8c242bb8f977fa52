#include "runtime/port_factory.h"

#include "serial/qt_serial_port.h"

namespace bivane {

PortFactory QtPortFactory(const ComPortMap& ports, PortInputThread* inputThread) {
    return [&ports, inputThread](int index,
                                 std::function<void(int)> lost) -> std::unique_ptr<SerialPort> {
        auto port = std::make_unique<QtSerialPort>(index, ports);
        if (inputThread != nullptr && index != 3) {
            port->readOnThread(*inputThread);
        }
        QObject::connect(port.get(), &QtSerialPort::portLost, port.get(), std::move(lost));
        return port;
    };
}

}  // namespace bivane

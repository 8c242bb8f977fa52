#pragma once

// Contract for the Qt serial port (implementation to follow).
#include <QObject>
#include <QString>

#include "serial/com_port_map.h"
#include "serial/serial_port.h"

namespace bivane {

// A serial port of the window on QSerialPort. Port number n is the system
// port "COM n", whose device `ports` names. Characters arriving and line
// conditions raise the port event on the Qt thread.
class QtSerialPort final : public QObject, public SerialPort {
    Q_OBJECT
public:
    QtSerialPort(int index, const ComPortMap& ports, QObject* parent = nullptr);
    ~QtSerialPort() override;

    void setPortNumber(std::int16_t number) override;
    std::int16_t portNumber() const override;
    void setSettings(std::string_view settings) override;
    std::string settings() const override;
    std::optional<std::string> open() override;
    void close() override;
    bool isOpen() const override;
    int eventCode() const override;
    std::string readInput() override;
    std::optional<std::string> writeOutput(std::string_view text) override;

    int index() const;

Q_SIGNALS:
    // The port reported a read or resource error (a receiver unplugged) and
    // has been closed.
    void portLost(int index);
};

}  // namespace bivane

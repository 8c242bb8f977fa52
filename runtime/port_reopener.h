#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "reception/serial_port.h"

namespace bivane {

// Brings back a port that lost its device (a receiver's cable pulled): once
// a second, while some port is lost, it looks whether the port's device is
// there again (a /dev/serial/by-id/ link or any device path) and opens the
// port on it. Nothing runs while no port is lost. A port the user opened,
// closed or moved to another number since it was lost is left alone.
class PortReopener final : public QObject {
    Q_OBJECT
  public:
    // [0] GPS 1, [1] GPS 2, [2] the heading output; they must outlive the
    // reopener. `devicePath` gives the device of "COM n"; `back` is called
    // with the index (1 to 3) of a port opened again.
    PortReopener(std::array<SerialPort*, 3> ports, std::function<QString(int number)> devicePath,
                 std::function<void(int index)> back, QObject* parent = nullptr);

    // Port `index` (1 to 3) lost its device and closed itself.
    void portLost(int index);
    // The user took over: no port is reopened until one is lost again.
    void forgetAll();
    // Port `index` is no longer to be reopened (turned off).
    void forget(int index);
    bool waitingFor(int index) const;

    // One look at the lost ports' devices; the timer calls it every second.
    void check();

  private:
    std::array<SerialPort*, 3> m_ports;
    std::function<QString(int)> m_devicePath;
    std::function<void(int)> m_back;
    // The number each lost port had when it was lost; nothing: not lost.
    std::array<std::optional<std::int16_t>, 3> m_lost;
    QTimer m_timer;
};

}  // namespace bivane

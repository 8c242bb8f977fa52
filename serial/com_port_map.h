#pragma once

#include <QMap>
#include <QString>

namespace bivane {

// Which device stands for system serial port "COM n": a mapping given for
// this run (--com N=DEVICE), else key "COMn" in section "Ports" of the
// per-user settings store, else /dev/ttyS<n-1>. On Windows: a mapping given
// for this run, else "COMn".
class ComPortMap {
  public:
    // Maps port `number` (1 or more) to `device` for this run only; nothing is
    // stored. A later mapping of the same number replaces an earlier one.
    void mapForThisRun(int number, const QString& device);

    // The same from the text of a --com option, "N=DEVICE" (for example
    // "5=/dev/ttyUSB0"). False, and nothing mapped, when the text is not a
    // port number of 1 or more, "=" and a device name.
    bool mapForThisRun(const QString& numberEqualsDevice);

    // The device of port `number`; empty for a number below 1, which names
    // no system port.
    QString deviceFor(int number) const;
    // This run maps port `number` to a device (--com).
    bool mappedForThisRun(int number) const { return m_runMapping.contains(number); }

  private:
    QMap<int, QString> m_runMapping;
};

}  // namespace bivane

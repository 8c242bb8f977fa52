#pragma once

// Contract for the COM-number-to-device mapping (implementation to follow).
#include <QMap>
#include <QString>

namespace bivane {

// Which device stands for system serial port "COM n": a mapping given for
// this run (--com N=DEVICE), else key "COMn" in section "Ports" of the
// per-user settings store, else /dev/ttyS<n-1> (on Windows, "COMn").
class ComPortMap {
public:
    void mapForThisRun(int number, const QString& device);
    QString deviceFor(int number) const;

private:
    QMap<int, QString> m_runMapping;
};

}  // namespace bivane

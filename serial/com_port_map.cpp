#include "serial/com_port_map.h"

#include "serial/user_settings.h"

namespace bivane {

void ComPortMap::mapForThisRun(int number, const QString& device) {
    m_runMapping.insert(number, device);
}

bool ComPortMap::mapForThisRun(const QString& numberEqualsDevice) {
    const qsizetype equals = numberEqualsDevice.indexOf(QLatin1Char('='));
    if (equals <= 0) {
        return false;
    }
    bool isNumber = false;
    const int number = numberEqualsDevice.first(equals).toInt(&isNumber);
    const QString device = numberEqualsDevice.sliced(equals + 1);
    if (!isNumber || number < 1 || device.isEmpty()) {
        return false;
    }
    mapForThisRun(number, device);
    return true;
}

QString ComPortMap::deviceFor(int number) const {
    if (number < 1) {
        return {};
    }
    if (const auto mapped = m_runMapping.constFind(number); mapped != m_runMapping.constEnd()) {
        return *mapped;
    }
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    const QString stored =
        OpenUserSettings()->value(QStringLiteral("Ports/COM%1").arg(number)).toString();
    if (!stored.isEmpty()) {
        return stored;
    }
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

}  // namespace bivane

#include "serial/user_settings.h"

namespace bivane {

std::unique_ptr<QSettings> OpenUserSettings() {
#ifdef Q_OS_WIN
    constexpr QSettings::Format format = QSettings::NativeFormat;
#else
    // An INI file rather than Qt's native ".conf" on POSIX: one plain file the
    // user can read and edit, the same format whatever the system.
    constexpr QSettings::Format format = QSettings::IniFormat;
#endif
    return std::make_unique<QSettings>(format, QSettings::UserScope, QStringLiteral("NMEA Bivane"));
}

}  // namespace bivane

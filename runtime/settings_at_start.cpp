#include "runtime/settings_at_start.h"

#include <QCoreApplication>

#include "runtime/qt_text.h"
#include "runtime/settings_file_io.h"

namespace bivane {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("bivane::Frm_Bivane", text);
}

}  // namespace

SettingsAtStart ReadSettingsAtStart(const QString& path) {
    SettingsAtStart start;
    const SettingsFileLoad load = LoadSettingsFile(path);
    start.exists = load.exists;
    if (!load.exists) {
        return start;
    }
    if (load.failure) {
        start.report =
            tr("The settings file \"%1\" cannot be read: %2. The built-in settings are used.")
                .arg(path, *load.failure);
        return start;
    }
    start.usable = true;
    start.items = load.read.items;
    start.whole = !load.read.problem;
    if (const auto& problem = load.read.problem) {
        QString text = tr("The settings file \"%1\" cannot be read past line %2: %3.\n\n"
                          "The items before it are used, the rest keep their built-in values.")
                           .arg(path)
                           .arg(problem->line)
                           .arg(FromStd(problem->description));
        if (const auto failure = KeepBadSettingsFile(path)) {
            text += tr(" The file could not be kept as \"%1.bad\": %2.").arg(path, *failure);
        } else {
            text += tr(" The file is kept as \"%1.bad\".").arg(path);
        }
        start.report = text;
    }
    return start;
}

void ApplySettings(const SettingsItems& items, const std::array<SerialPort*, 3>& ports,
                   CompassState& state) {
    for (int index = 1; index <= 3; ++index) {
        SerialPort& port = *ports[static_cast<std::size_t>(index - 1)];
        port.setPortNumber(items.port(index).number);
        port.setSettings(items.port(index).settings);
    }
    ApplyStateSettings(items, state);
}

void ApplyStateSettings(const SettingsItems& items, CompassState& state) {
    state.OffsetX = items.OffsetX;
    state.OffsetY = items.OffsetY;
    state.HeadingOutput = items.HeadingOutput;
}

}  // namespace bivane

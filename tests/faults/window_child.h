#pragma once

#include <QProcess>
#include <QProcessEnvironment>

namespace bivane::test {

// Starts the main window in a process of its own (window_child_main.cpp) on
// the offscreen platform, its per-user settings in `configHome`;
// `arguments`: what it does, then the program's own arguments.
inline void StartWindowChild(QProcess& window, const QString& configHome,
                             const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    window.setProcessEnvironment(environment);
    window.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    window.start(QStringLiteral(WINDOW_CHILD), arguments);
}

}  // namespace bivane::test

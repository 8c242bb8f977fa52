#include "tests/faults/window_child.h"

#include <QProcessEnvironment>

namespace bivane::test {

void StartWindowChild(QProcess& window, const QString& configHome, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    window.setProcessEnvironment(environment);
    window.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    window.start(QStringLiteral(WINDOW_CHILD), arguments);
}

}  // namespace bivane::test

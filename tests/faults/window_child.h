#pragma once

// The main window in a process of its own (window_child_main.cpp), for the
// tests that kill it.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace bivane::test {

// Starts the window on the offscreen platform with its per-user settings in
// `configHome`; `arguments`: what it does, then the program's own arguments.
// Its standard error goes to the test's.
void StartWindowChild(QProcess& window, const QString& configHome, const QStringList& arguments);

}  // namespace bivane::test

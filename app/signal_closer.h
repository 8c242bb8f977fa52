#pragma once

#include <QWidget>
#include <functional>

#include "runtime/signal_watcher.h"

namespace bivane {

// Logout, shutdown and Ctrl+C: SIGTERM, SIGINT and SIGHUP call `onSignal`
// on the Qt thread, which closes the main window normally. After the first
// signal the default handling is back, so a second one ends a program that
// does not close.
class SignalCloser {
  public:
    explicit SignalCloser(std::function<void()> onSignal);

    // A signal has arrived.
    bool received() const { return m_received; }

  private:
    std::function<void()> m_onSignal;
    bool m_received = false;
    SignalWatcher m_watcher;
};

// What a signal does to the program: every box still open is closed first
// (its loop returns), then `window` closes as on File, Exit, and the event
// loop ends.
void CloseForSignal(QWidget& window);

}  // namespace bivane

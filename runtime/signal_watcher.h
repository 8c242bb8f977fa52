#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <array>
#include <functional>

namespace bivane {

// SIGTERM, SIGINT and SIGHUP handled on the Qt thread: the signal handler
// only writes the signal's number to a socket pair that the event loop
// watches, and `onSignal` gets it there, where anything may be done. One
// watcher at a time.
class SignalWatcher final : public QObject {
    Q_OBJECT
  public:
    explicit SignalWatcher(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~SignalWatcher() override;

    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // The default handling is back: the next such signal ends the program
    // even if it does not end by itself.
    void restoreDefaults();

  private:
    void onReadable();

    std::function<void(int)> m_onSignal;
    std::array<int, 2> m_sockets{-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace bivane

#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QWidget>
#include <array>
#include <functional>

namespace bivane {

// Logout, shutdown and Ctrl+C: SIGTERM, SIGINT and SIGHUP call `onSignal`
// on the Qt thread (the signal handler only writes a byte to a socket pair
// that the event loop watches), which closes the main window normally. After
// the first signal the default handling is back, so a second one ends a
// program that does not close.
class SignalCloser final : public QObject {
    Q_OBJECT
  public:
    explicit SignalCloser(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SignalCloser() override;

    SignalCloser(const SignalCloser&) = delete;
    SignalCloser& operator=(const SignalCloser&) = delete;

    // A signal has arrived.
    bool received() const { return m_received; }

  private:
    void onReadable();

    std::function<void()> m_onSignal;
    std::array<int, 2> m_sockets{-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    bool m_received = false;
};

// What a signal does to the program: every box still open is closed first
// (its loop returns), then `window` closes as on File, Exit, and the event
// loop ends.
void CloseForSignal(QWidget& window);

}  // namespace bivane

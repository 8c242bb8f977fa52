#include "app/signal_closer.h"

#include <QApplication>

namespace bivane {

SignalCloser::SignalCloser(std::function<void()> onSignal)
    : m_onSignal(std::move(onSignal)), m_watcher([this](int) {
          if (m_received) {
              return;
          }
          m_received = true;
          m_watcher.restoreDefaults();
          m_onSignal();
      }) {}

void CloseForSignal(QWidget& window) {
    // A bound, in case a box refuses to close.
    for (int boxes = 0; boxes < 16; ++boxes) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == &window) {
            break;
        }
        modal->close();
    }
    window.close();
    QCoreApplication::quit();
}

}  // namespace bivane

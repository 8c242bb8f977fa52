#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "nmea/message_sink.h"

namespace bivane {

// The GGA decoder's field-failure messages. The decoder reports from inside
// a port event, so the box must not wait there: it is opened window-modal
// without a loop of its own, and reception, the heading cycle and the
// heading output go on while it stands. One box at a time: a newer failure
// replaces the text of the one on screen.
class DecoderMessageBox final : public MessageSink {
  public:
    explicit DecoderMessageBox(QWidget* window) : m_window(window) {}
    ~DecoderMessageBox() override;

    void showMessage(std::string_view title, std::string_view text) override;

    // The box, while it is on screen; else nullptr.
    QMessageBox* shownBox() const;
    void close();

  private:
    void show(const std::string& title, const std::string& text);

    QPointer<QWidget> m_window;
    QPointer<QMessageBox> m_box;
};

}  // namespace bivane

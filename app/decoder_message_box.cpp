#include "app/decoder_message_box.h"
#include "runtime/qt_text.h"
#include "runtime/thread_call.h"

namespace bivane {
namespace {}  // namespace

DecoderMessageBox::~DecoderMessageBox() {
    delete m_box;
}

void DecoderMessageBox::showMessage(std::string_view title, std::string_view text) {
    if (m_window.isNull()) {
        return;
    }
    CallOnThreadOf(m_window, [this, title = std::string(title), text = std::string(text)] {
        show(title, text);
    });
}

void DecoderMessageBox::show(const std::string& title, const std::string& text) {
    if (!m_box) {
        m_box =
            new QMessageBox(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok, m_window);
        m_box->setWindowModality(Qt::WindowModal);
    }
    m_box->setWindowTitle(FromStd(title));
    m_box->setText(FromStd(text));
    if (!m_box->isVisible()) {
        m_box->open();
    }
}

QMessageBox* DecoderMessageBox::shownBox() const {
    return m_box && m_box->isVisible() ? m_box.data() : nullptr;
}

void DecoderMessageBox::close() {
    if (m_box) {
        m_box->close();
    }
}

}  // namespace bivane

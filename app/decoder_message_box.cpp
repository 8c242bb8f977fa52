#include "app/decoder_message_box.h"

namespace bivane {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

DecoderMessageBox::~DecoderMessageBox() {
    delete m_box;
}

void DecoderMessageBox::showMessage(std::string_view title, std::string_view text) {
    if (!m_box) {
        m_box =
            new QMessageBox(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok, m_window);
        m_box->setWindowModality(Qt::WindowModal);
    }
    m_box->setWindowTitle(fromUtf8(title));
    m_box->setText(fromUtf8(text));
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

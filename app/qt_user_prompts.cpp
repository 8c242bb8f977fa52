#include "app/qt_user_prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace bivane {

void QtUserPrompts::message(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

std::optional<QString> QtUserPrompts::input(const QString& title, const QString& prompt,
                                            const QString& initial) {
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<QString> QtUserPrompts::saveFile(const QString& title, const QString& suggested) {
    const QString path = QFileDialog::getSaveFileName(
        m_parent, title, suggested, QStringLiteral("Captures (*.capture);;All files (*)"));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

}  // namespace bivane

#pragma once

#include <QPointer>
#include <QWidget>

#include "app/user_prompts.h"

namespace bivane {

// The prompts as the user sees them: a modal QMessageBox, QInputDialog and
// QFileDialog over the main window.
class QtUserPrompts final : public UserPrompts {
  public:
    // The window the prompts stand over; none until it exists.
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    void message(const QString& title, const QString& text) override;
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& initial) override;
    std::optional<QString> saveFile(const QString& title, const QString& suggested) override;

  private:
    QPointer<QWidget> m_parent;
};

}  // namespace bivane

#pragma once

#include <QDialog>
#include <QPushButton>

namespace bivane {

// The about box: the program icon, title, version line and description, and
// the links to the maker's e-mail address and web site. OK, Enter and Esc
// close it.
//
// Made by the menu command and run modally over `owner`, centred on it:
// `frmAbout box(this); box.exec();`. It holds nothing between openings.
class frmAbout final : public QDialog {
    Q_OBJECT
  public:
    // The icon is `owner`'s window icon (the application's when it has none).
    explicit frmAbout(QWidget* owner);

    QPushButton* cmdOK() const { return m_cmdOK; }

  public Q_SLOTS:
    void cmdOK_Click();

  private:
    void createControls();
    void Form_Load();

    QPushButton* m_cmdOK = nullptr;
};

}  // namespace bivane

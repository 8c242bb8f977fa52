#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "app/user_prompts.h"
#include "heading/compass_state.h"
#include "heading/main_window_text.h"

namespace bivane {

// The antenna offset dialog: the offsets of both antennas from a common
// reference point, metres (Y positive ahead, X positive to starboard). OK
// stores them and recomputes the calculated baseline and heading correction
// at once; the window writes the settings file after an OK that changed them.
//
// Made by the menu command and run modally over `owner`, centred on it:
// `Frm_Offset dialog(...); dialog.exec();`. Port events go on while it is
// open; the new offsets apply from the next heading cycle after OK.
class Frm_Offset final : public QDialog {
    Q_OBJECT
  public:
    // `decimalSeparator`: the user's, for the texts of the boxes and of
    // lblCalculated. Everything must outlive the dialog.
    Frm_Offset(QWidget* owner, CompassState& state, MainWindowText& window, UserPrompts& prompts,
               char decimalSeparator);

    // The boxes of receiver `index` (0 = GPS 1 (aft), 1 = GPS 2 (forward)).
    QLineEdit* txtX(int index) const { return m_txtX.at(static_cast<std::size_t>(index)); }
    QLineEdit* txtY(int index) const { return m_txtY.at(static_cast<std::size_t>(index)); }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

  public Q_SLOTS:
    // Reads the four boxes ("," counts as the decimal point, a unit after
    // the number is ignored, no number reads as 0; a box whose text is still
    // the one it was opened with keeps its offset exactly), stores them,
    // recomputes
    // the baseline and closes. A number too large to compute with is refused
    // with a message naming it: nothing is stored and the dialog stays open.
    void cmdOK_Click();
    void cmdCancel_Click();

  protected:
    // Typing replaces the whole text of a box that gets the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // OK is the default button; there is no cancel key.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void createControls();
    void Form_Load();
    void txtX_GotFocus(int index);
    void txtY_GotFocus(int index);
    // Says why nothing is stored, and puts the focus into `box` (if any),
    // whose text is the reason.
    void refuse(const QString& why, QLineEdit* box);

    CompassState& m_state;
    MainWindowText& m_window;
    UserPrompts& m_prompts;
    const char m_decimalSeparator;
    std::array<QGroupBox*, 2> m_frames{};
    std::array<QLineEdit*, 2> m_txtX{};
    std::array<QLineEdit*, 2> m_txtY{};
    // What each box showed when the dialog opened.
    std::array<QString, 2> m_shownX;
    std::array<QString, 2> m_shownY;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

}  // namespace bivane

#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "runtime/output_settings.h"
#include "app/user_prompts.h"

namespace bivane {

// The heading output dialog (Setup, Heading Sentences): which sentences go
// out for each epoch (HDT, THS, ROT), the baseline limit of a valid heading
// (THS mode A) and the time constant of the rate of turn's smoothing. OK keeps the choice in `settings()`; the owner applies and
// stores it. Port events go on while it is open.
class Frm_Output final : public QDialog {
    Q_OBJECT
  public:
    // `decimalSeparator`: the user's, for the limit's text.
    Frm_Output(QWidget* owner, const OutputSettings& current, UserPrompts& prompts,
               char decimalSeparator);

    // The choice confirmed with OK (the current one until then).
    const OutputSettings& settings() const { return m_settings; }

    QCheckBox* chkSentence(HeadingSentence sentence) const;
    QLineEdit* txtBaselineLimit() const { return m_txtBaselineLimit; }
    QLineEdit* txtRotTimeConstant() const { return m_txtRotTimeConstant; }

  public Q_SLOTS:
    // At least one sentence must be chosen, the limit be a number of
    // degrees and the time constant one of seconds, each 0 or more;
    // otherwise a message says why and the dialog stays open. A number box
    // the user did not edit keeps the stored value exactly.
    void cmdOK_Click();

  private:
    // The number in `box`, or the stored `current` when the box was not
    // edited; nothing (after a message naming `what`) when it is no number
    // of 0 or more.
    std::optional<double> number(QLineEdit* box, double current, const QString& what);

    OutputSettings m_settings;
    UserPrompts& m_prompts;
    QCheckBox* m_chkHdt = nullptr;
    QCheckBox* m_chkThs = nullptr;
    QCheckBox* m_chkRot = nullptr;
    QLineEdit* m_txtBaselineLimit = nullptr;
    QLineEdit* m_txtRotTimeConstant = nullptr;
    char m_separator;
};

}  // namespace bivane

#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "app/output_settings.h"
#include "app/user_prompts.h"

namespace bivane {

// The heading output dialog (Setup, Heading Sentences): which sentences go
// out for each epoch (HDT, THS) and the baseline limit of a valid heading
// (THS mode A). OK keeps the choice in `settings()`; the owner applies and
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

  public Q_SLOTS:
    // At least one sentence must be chosen and the limit be a number of
    // degrees, 0 or more; otherwise a message says why and the dialog stays
    // open. A limit box the user did not edit keeps the stored value exactly.
    void cmdOK_Click();

  private:
    OutputSettings m_settings;
    UserPrompts& m_prompts;
    QCheckBox* m_chkHdt = nullptr;
    QCheckBox* m_chkThs = nullptr;
    QLineEdit* m_txtBaselineLimit = nullptr;
};

}  // namespace bivane

#include "app/frm_output.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/dialog_layout.h"
#include "app/qt_text.h"
#include "app/version.h"
#include "nmea/number_reader.h"

namespace bivane {
namespace {

bool chosen(const SentenceChoice& choice, HeadingSentence sentence) {
    return std::find(choice.begin(), choice.end(), sentence) != choice.end();
}

}  // namespace

Frm_Output::Frm_Output(QWidget* owner, const OutputSettings& current, UserPrompts& prompts,
                       char decimalSeparator)
    : QDialog(owner, kSizableDialog), m_settings(current), m_prompts(prompts) {
    SetUpDialog(*this, "Frm_Output", tr("Bivane Heading Sentences"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Sentences sent for each heading, on the heading output "
                                    "and in the log:"),
                                 this));
    m_chkHdt = new QCheckBox(tr("HDT: the true heading"), this);
    m_chkHdt->setObjectName(QStringLiteral("chkHDT"));
    m_chkHdt->setChecked(chosen(current.sentences, HeadingSentence::Hdt));
    layout->addWidget(m_chkHdt);
    m_chkThs = new QCheckBox(tr("THS: the true heading and whether it is valid"), this);
    m_chkThs->setObjectName(QStringLiteral("chkTHS"));
    m_chkThs->setChecked(chosen(current.sentences, HeadingSentence::Ths));
    layout->addWidget(m_chkThs);

    auto* form = new QFormLayout;
    QString limit = QString::number(current.baselineLimit, 'g', QLocale::FloatingPointShortest);
    limit.replace(QLatin1Char('.'), QLatin1Char(decimalSeparator));
    m_txtBaselineLimit = new QLineEdit(limit, this);
    m_txtBaselineLimit->setObjectName(QStringLiteral("txtBaselineLimit"));
    form->addRow(tr("Baseline limit of a valid heading (degrees across):"), m_txtBaselineLimit);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &Frm_Output::cmdOK_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QCheckBox* Frm_Output::chkSentence(HeadingSentence sentence) const {
    return sentence == HeadingSentence::Hdt ? m_chkHdt : m_chkThs;
}

void Frm_Output::cmdOK_Click() {
    const QString title = FromStd(kProgramTitle);
    SentenceChoice sentences;
    // A choice of the same sentences keeps its stored order.
    for (HeadingSentence sentence : m_settings.sentences) {
        if (chkSentence(sentence)->isChecked()) {
            sentences.push_back(sentence);
        }
    }
    for (HeadingSentence sentence : {HeadingSentence::Hdt, HeadingSentence::Ths}) {
        if (chkSentence(sentence)->isChecked() && !chosen(sentences, sentence)) {
            sentences.push_back(sentence);
        }
    }
    if (sentences.empty()) {
        m_prompts.message(title, tr("Choose at least one sentence."));
        return;
    }
    double limit = m_settings.baselineLimit;
    if (m_txtBaselineLimit->isModified()) {
        limit = NumberFromText(m_txtBaselineLimit->text().toStdString());
        if (!std::isfinite(limit) || limit < 0) {
            m_prompts.message(title, tr("The baseline limit \"%1\" is no number of degrees of 0 "
                                        "or more. Nothing is changed.")
                                         .arg(m_txtBaselineLimit->text()));
            m_txtBaselineLimit->setFocus();
            return;
        }
    }
    m_settings = {sentences, limit};
    accept();
}

}  // namespace bivane

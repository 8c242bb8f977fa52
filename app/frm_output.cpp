#include "app/frm_output.h"

#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/dialog_layout.h"
#include "runtime/qt_text.h"
#include "runtime/version.h"
#include "nmea/number_reader.h"

namespace bivane {
namespace {

constexpr HeadingSentence kSentences[] = {HeadingSentence::Hdt, HeadingSentence::Ths,
                                           HeadingSentence::Rot};

bool chosen(const SentenceChoice& choice, HeadingSentence sentence) {
    return std::find(choice.begin(), choice.end(), sentence) != choice.end();
}

QString numberText(double value, char separator) {
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    text.replace(QLatin1Char('.'), QLatin1Char(separator));
    return text;
}

}  // namespace

Frm_Output::Frm_Output(QWidget* owner, const OutputSettings& current, UserPrompts& prompts,
                       char decimalSeparator)
    : QDialog(owner, kSizableDialog),
      m_settings(current),
      m_prompts(prompts),
      m_separator(decimalSeparator) {
    SetUpDialog(*this, "Frm_Output", tr("Bivane Heading Sentences"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Sentences sent for each heading, on the heading output, the "
                                    "network outputs and in the log:"),
                                 this));
    const auto checkBox = [&](HeadingSentence sentence, const QString& caption,
                              const char* name) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(name));
        box->setChecked(chosen(current.sentences, sentence));
        layout->addWidget(box);
        return box;
    };
    m_chkHdt = checkBox(HeadingSentence::Hdt, tr("HDT: the true heading"), "chkHDT");
    m_chkThs = checkBox(HeadingSentence::Ths, tr("THS: the true heading and whether it is valid"),
                        "chkTHS");
    m_chkRot = checkBox(HeadingSentence::Rot,
                        tr("ROT: the rate of turn, degrees a minute, negative to port"), "chkROT");

    auto* form = new QFormLayout;
    m_txtBaselineLimit = new QLineEdit(numberText(current.baselineLimit, m_separator), this);
    m_txtBaselineLimit->setObjectName(QStringLiteral("txtBaselineLimit"));
    form->addRow(tr("Baseline limit of a valid heading (degrees across):"), m_txtBaselineLimit);
    m_txtRotTimeConstant = new QLineEdit(numberText(current.rotTimeConstant, m_separator), this);
    m_txtRotTimeConstant->setObjectName(QStringLiteral("txtRotTimeConstant"));
    form->addRow(tr("Smoothing of the rate of turn (seconds, 0 for none):"),
                 m_txtRotTimeConstant);
    layout->addLayout(form);

    AddOkCancelButtons(*this, *layout, [this] { cmdOK_Click(); });
}

QCheckBox* Frm_Output::chkSentence(HeadingSentence sentence) const {
    switch (sentence) {
        case HeadingSentence::Hdt:
            return m_chkHdt;
        case HeadingSentence::Ths:
            return m_chkThs;
        case HeadingSentence::Rot:
            break;
    }
    return m_chkRot;
}

std::optional<double> Frm_Output::number(QLineEdit* box, double current, const QString& what) {
    if (!box->isModified()) {
        return current;
    }
    const double value = NumberFromText(box->text().toStdString());
    if (std::isfinite(value) && value >= 0) {
        return value;
    }
    m_prompts.message(FromStd(kProgramTitle),
                      tr("The %1 \"%2\" is no number of 0 or more. Nothing is changed.")
                          .arg(what, box->text()));
    box->setFocus();
    return std::nullopt;
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
    for (HeadingSentence sentence : kSentences) {
        if (chkSentence(sentence)->isChecked() && !chosen(sentences, sentence)) {
            sentences.push_back(sentence);
        }
    }
    if (sentences.empty()) {
        m_prompts.message(title, tr("Choose at least one sentence."));
        return;
    }
    const auto limit =
        number(m_txtBaselineLimit, m_settings.baselineLimit, tr("baseline limit in degrees"));
    if (!limit) {
        return;
    }
    const auto timeConstant = number(m_txtRotTimeConstant, m_settings.rotTimeConstant,
                                     tr("smoothing of the rate of turn in seconds"));
    if (!timeConstant) {
        return;
    }
    m_settings = {sentences, *limit, *timeConstant};
    accept();
}

}  // namespace bivane

#include "app/output_settings.h"

#include <QLocale>
#include <cmath>

#include "settings/strict_number.h"

namespace bivane {
namespace {

const QString kSentencesKey = QStringLiteral("Output/Sentences");
const QString kBaselineLimitKey = QStringLiteral("Output/BaselineLimit");

}  // namespace

OutputSettings ReadOutputSettings(const QSettings& store) {
    OutputSettings settings;
    if (auto choice = ParseSentenceChoice(store.value(kSentencesKey).toString().toStdString())) {
        settings.sentences = std::move(*choice);
    }
    const auto limit = ReadStrictNumber(store.value(kBaselineLimitKey).toString().toStdString());
    if (limit && std::isfinite(*limit) && *limit >= 0) {
        settings.baselineLimit = *limit;
    }
    return settings;
}

void WriteOutputSettings(QSettings& store, const OutputSettings& settings) {
    store.setValue(kSentencesKey, QString::fromStdString(SentenceChoiceText(settings.sentences)));
    store.setValue(kBaselineLimitKey,
                   QString::number(settings.baselineLimit, 'g', QLocale::FloatingPointShortest));
}

}  // namespace bivane

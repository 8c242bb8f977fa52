#include "runtime/output_settings.h"

#include <QLocale>
#include <cmath>
#include <optional>

#include "settings/strict_number.h"

namespace bivane {
namespace {

const QString kSentencesKey = QStringLiteral("Output/Sentences");
const QString kBaselineLimitKey = QStringLiteral("Output/BaselineLimit");
const QString kRotTimeConstantKey = QStringLiteral("Output/RotTimeConstant");

// A stored number of 0 or more; nothing for anything else.
std::optional<double> readNonNegative(const QSettings& store, const QString& key) {
    const auto number = ReadStrictNumber(store.value(key).toString().toStdString());
    if (number && std::isfinite(*number) && *number >= 0) {
        return number;
    }
    return std::nullopt;
}

QString numberText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

}  // namespace

OutputSettings ReadOutputSettings(const QSettings& store) {
    OutputSettings settings;
    if (auto choice = ParseSentenceChoice(store.value(kSentencesKey).toString().toStdString())) {
        settings.sentences = std::move(*choice);
    }
    settings.baselineLimit =
        readNonNegative(store, kBaselineLimitKey).value_or(settings.baselineLimit);
    settings.rotTimeConstant =
        readNonNegative(store, kRotTimeConstantKey).value_or(settings.rotTimeConstant);
    return settings;
}

void WriteOutputSettings(QSettings& store, const OutputSettings& settings) {
    store.setValue(kSentencesKey, QString::fromStdString(SentenceChoiceText(settings.sentences)));
    store.setValue(kBaselineLimitKey, numberText(settings.baselineLimit));
    store.setValue(kRotTimeConstantKey, numberText(settings.rotTimeConstant));
}

void UseOutputSettings(const OutputSettings& settings, CompassState& state) {
    state.TimeTolerance = 0.2f;
    state.HdtData.TalkerID = "GP";
    state.Sentences = settings.sentences;
    state.BaselineLimit = settings.baselineLimit;
    state.RotTimeConstant = settings.rotTimeConstant;
}

}  // namespace bivane

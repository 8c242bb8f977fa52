#include "app/time_tolerance_prompt.h"

#include <QCoreApplication>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "runtime/qt_text.h"
#include "runtime/version.h"
#include "nmea/number_reader.h"

namespace bivane {
namespace {

QString programTitle() {
    return FromStd(kProgramTitle);
}

bool fitsSinglePrecision(double value) {
    return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max();
}

}  // namespace

QString TimeToleranceText(float tolerance, char decimalSeparator) {
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), tolerance);
    QString shortest = QString::fromLatin1(text.data(), written.ptr - text.data());
    shortest.replace(QLatin1Char('.'), QLatin1Char(decimalSeparator));
    return shortest;
}

void AskTimeTolerance(UserPrompts& prompts, CompassState& state, char decimalSeparator) {
    const QString offered = TimeToleranceText(state.TimeTolerance, decimalSeparator);
    const std::optional<QString> answer = prompts.input(
        programTitle(),
        QStringLiteral(
            "Select accepted time difference between the two GPS (By default = 0.2 sec)"),
        offered);
    // The offered text confirmed as it stands keeps the value exactly, even
    // where the user's decimal separator is one that a number cannot hold.
    if (!answer || answer->isEmpty() || *answer == offered) {
        return;
    }
    const double value = NumberFromText(answer->toStdString());
    if (!fitsSinglePrecision(value)) {
        prompts.message(
            programTitle(),
            QCoreApplication::translate("AskTimeTolerance",
                                        "The time difference \"%1\" is too large. "
                                        "The accepted time difference stays %2 sec.")
                .arg(*answer, TimeToleranceText(state.TimeTolerance, decimalSeparator)));
        return;
    }
    state.TimeTolerance = static_cast<float>(value);
}

}  // namespace bivane

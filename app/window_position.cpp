#include "app/window_position.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "settings/strict_number.h"

namespace bivane {
namespace {

const QString kLeftKey = QStringLiteral("Settings/MainLeft");
const QString kTopKey = QStringLiteral("Settings/MainTop");

// The stored text of `key` and its value, or the default when it holds none.
void readOne(const QSettings& settings, const QString& key, QString& text, float& value) {
    const QString stored = settings.value(key).toString();
    const std::optional<double> number = ReadStrictNumber(stored.toStdString());
    if (!number || !std::isfinite(static_cast<float>(*number))) {
        return;
    }
    text = stored;
    value = static_cast<float>(*number);
}

}  // namespace

StoredPosition ReadStoredPosition(const QSettings& settings) {
    StoredPosition position;
    readOne(settings, kLeftKey, position.leftText, position.left);
    readOne(settings, kTopKey, position.topText, position.top);
    return position;
}

void WriteStoredPosition(QSettings& settings, const QString& leftText, const QString& topText) {
    settings.setValue(kLeftKey, leftText);
    settings.setValue(kTopKey, topText);
    settings.sync();
}

QPoint VisibleWindowPosition(QPoint wanted, QSize frameSize, int titleBarHeight,
                             const QList<QRect>& screens, const QRect& primary, QPoint offset) {
    // A piece of the bar this wide and half its height is enough to take
    // hold of it with the pointer.
    constexpr int kGripWidth = 32;
    const QRect titleBar(wanted, QSize(frameSize.width(), std::max(titleBarHeight, 1)));
    const int gripWidth = std::min(kGripWidth, titleBar.width());
    const int gripHeight = (titleBar.height() + 1) / 2;
    for (const QRect& screen : screens) {
        const QRect shown = titleBar.intersected(screen);
        if (shown.width() >= gripWidth && shown.height() >= gripHeight) {
            return wanted;
        }
    }
    QPoint place = primary.topLeft() + offset;
    place.setX(
        std::max(primary.left(), std::min(place.x(), primary.right() + 1 - frameSize.width())));
    place.setY(
        std::max(primary.top(), std::min(place.y(), primary.bottom() + 1 - frameSize.height())));
    return place;
}

QString TwipsText(float twips) {
    if (!std::isfinite(twips) || twips == 0) {
        return QStringLiteral("0");
    }
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text), twips);
    return QString::fromLatin1(text, static_cast<qsizetype>(result.ptr - text));
}

}  // namespace bivane

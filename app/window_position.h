#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSettings>
#include <QSize>
#include <QString>

namespace bivane {

// The main window's position in the per-user settings store: keys
// "MainLeft" and "MainTop" in section "Settings", the text of a number of
// twips from the left and the top of the screen.
struct StoredPosition {
    QString leftText = QStringLiteral("1000");
    QString topText = QStringLiteral("1000");
    float left = 1000;  // twips
    float top = 1000;
};

// The stored position; 1000 for a key that is missing or holds no number.
StoredPosition ReadStoredPosition(const QSettings& settings);

void WriteStoredPosition(QSettings& settings, const QString& leftText, const QString& topText);

// Where the window opens, pixels: `wanted` (the top-left corner of a frame
// of `frameSize` whose title bar is the top `titleBarHeight` pixels of it)
// when enough of that title bar to grab it lies on one of `screens` (their
// usable areas); otherwise, say after a monitor has been unplugged,
// `offset` from the top-left corner of `primary`, moved back so that the
// frame stays on it where it fits.
QPoint VisibleWindowPosition(QPoint wanted, QSize frameSize, int titleBarHeight,
                             const QList<QRect>& screens, const QRect& primary, QPoint offset);

// A single-precision number of twips as the store keeps it: "1000", "1012.5".
QString TwipsText(float twips);

}  // namespace bivane

#pragma once

#include <QSettings>
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

// A single-precision number of twips as the store keeps it: "1000", "1012.5".
QString TwipsText(float twips);

}  // namespace bivane

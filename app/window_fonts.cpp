#include "app/window_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace bivane {
namespace {

constexpr double kControlPointSize = 8.25;
constexpr int kNarrowedStretch = 80;  // per cent of the face's normal width

// The window was laid out for MS Sans Serif. Where it is missing, the
// platform's plain sans-serif face stands in, narrowed to about MS Sans
// Serif's width: at its full width (DejaVu Sans, Arial), a row caption would
// run into the value beside it.
QFont controlFace() {
    const QStringList installed = QFontDatabase::families();
    for (const char* family : {"MS Sans Serif", "Microsoft Sans Serif"}) {
        if (installed.contains(QLatin1String(family), Qt::CaseInsensitive)) {
            return QFont(QLatin1String(family));
        }
    }
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setStretch(kNarrowedStretch);
    return font;
}

}  // namespace

QFont ControlFont(LabelFont kind) {
    struct Look {
        double points;
        bool bold;
        bool italic;
        bool underline;
    };
    static const QFont face = controlFace();
    const Look look = [kind]() -> Look {
        switch (kind) {
            case LabelFont::Bold975:
                return {9.75, true, false, false};
            case LabelFont::Bold18:
                return {18, true, false, false};
            case LabelFont::Bold24:
                return {24, true, false, false};
            case LabelFont::Italic:
                return {kControlPointSize, false, true, false};
            case LabelFont::Link:
                return {kControlPointSize, false, false, true};
            case LabelFont::Normal:
                break;
        }
        return {kControlPointSize, false, false, false};
    }();
    QFont font = face;
    font.setPointSizeF(look.points);
    font.setBold(look.bold);
    font.setItalic(look.italic);
    font.setUnderline(look.underline);
    return font;
}

}  // namespace bivane

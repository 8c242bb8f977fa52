#include "tests/dialogs/dialog_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include "app/twips.h"

namespace bivane::test {
namespace {

QString describe(const QWidget& widget) {
    return widget.objectName().isEmpty() ? QLatin1String(widget.metaObject()->className())
                                         : widget.objectName();
}

// The room `widget` needs to show its text whole; nothing for a control
// without text to show.
std::optional<QSize> neededRoom(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (label->wordWrap()) {
            return QSize(widget.width(), label->heightForWidth(widget.width()));
        }
        return label->fontMetrics().size(0, label->text());
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(&widget)) {
        // The text with its ascent and descent inside the box's frame; any
        // width, the box scrolls.
        return QSize(0, box->fontMetrics().height() +
                            2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    }
    if (qobject_cast<const QCheckBox*>(&widget) != nullptr ||
        qobject_cast<const QComboBox*>(&widget) != nullptr) {
        return QSize(widget.sizeHint().width(), 0);
    }
    return std::nullopt;
}

}  // namespace

void ExpectDesignedPlaces(const QWidget& dialog, const std::vector<DesignedPlace>& places) {
    const double dpi = dialog.screen()->logicalDotsPerInch();
    const auto pixels = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
    for (const DesignedPlace& place : places) {
        const QWidget* control = Child(dialog, place.name);
        if (control == nullptr) {
            continue;
        }
        EXPECT_EQ(control->parentWidget()->objectName(), QLatin1String(place.container))
            << place.name;
        const QRect designed(pixels(place.rect.left), pixels(place.rect.top),
                             pixels(place.rect.width), pixels(place.rect.height));
        const QRect actual = control->geometry();
        EXPECT_EQ(actual.topLeft(), designed.topLeft()) << place.name;
        EXPECT_EQ(actual.height(), designed.height()) << place.name;
        EXPECT_GE(actual.width(), designed.width()) << place.name;
    }
}

QStringList LayoutFaults(const QWidget& dialog) {
    QList<const QWidget*> controls;
    for (const QWidget* control : dialog.findChildren<QWidget*>()) {
        if (control->isVisibleTo(&dialog)) {
            controls << control;
        }
    }
    QStringList faults;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget& control = *controls[i];
        const std::optional<QSize> needed = neededRoom(control);
        if (needed && (needed->width() > control.width() || needed->height() > control.height())) {
            faults << QStringLiteral("%1 needs %2x%3 pixels, has %4x%5")
                          .arg(describe(control))
                          .arg(needed->width())
                          .arg(needed->height())
                          .arg(control.width())
                          .arg(control.height());
        }
        const QRect inDialog(control.mapTo(&dialog, QPoint(0, 0)), control.size());
        if (!dialog.rect().contains(inDialog)) {
            faults << describe(control) + QStringLiteral(" is cut off by the dialog's edge");
        }
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget& other = *controls[j];
            if (other.parentWidget() != control.parentWidget()) {
                continue;
            }
            const QRect common = control.geometry().intersected(other.geometry());
            const bool frames = qobject_cast<const QGroupBox*>(&control) != nullptr &&
                                qobject_cast<const QGroupBox*>(&other) != nullptr;
            if (!common.isEmpty() && !(frames && common.width() <= 1)) {
                faults << describe(control) + QStringLiteral(" overlaps ") + describe(other);
            }
        }
    }
    return faults;
}

void ShowActive(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

}  // namespace bivane::test

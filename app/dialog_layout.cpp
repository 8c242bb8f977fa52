#include "app/dialog_layout.h"

#include <QDialogButtonBox>
#include <QScreen>

#include "app/twips.h"
#include "app/window_fonts.h"

namespace bivane {
namespace {

constexpr int kFrameCaptionLeft = 90;  // twips from the frame's left edge

}  // namespace

void SetUpDialog(QDialog& dialog, const char* name, const QString& caption) {
    dialog.setObjectName(QLatin1String(name));
    dialog.setWindowTitle(caption);
    dialog.setModal(true);
    dialog.setFont(ControlFont(LabelFont::Normal));
}

void DrawFramesLikeTheMainWindow(QDialog& dialog) {
    dialog.setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: %1px; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: %2px; }")
            .arg(dialog.fontMetrics().height() / 2)
            .arg(DialogPixels(dialog, kFrameCaptionLeft)));
}

int DialogPixels(const QWidget& widget, double twips) {
    return TwipsToPixels(twips, widget.screen()->logicalDotsPerInch());
}

void PlaceInTwips(QWidget& control, const TwipRect& rect) {
    const auto pixels = [&control](int twips) { return DialogPixels(control, twips); };
    control.setGeometry(pixels(rect.left), pixels(rect.top), pixels(rect.width),
                        pixels(rect.height));
}

QPushButton* AddButton(QDialog& dialog, const char* name, const QString& caption,
                       const TwipRect& rect) {
    auto* button = new QPushButton(caption, &dialog);
    button->setObjectName(QLatin1String(name));
    PlaceInTwips(*button, rect);
    return button;
}

QGroupBox* AddFrame(QDialog& dialog, const QString& name, const QString& caption,
                    const TwipRect& rect) {
    auto* frame = new QGroupBox(caption, &dialog);
    frame->setObjectName(name);
    PlaceInTwips(*frame, rect);
    return frame;
}

void AddOkCancelButtons(QDialog& dialog, QBoxLayout& layout, std::function<void()> ok) {
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, std::move(ok));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addWidget(buttons);
}

}  // namespace bivane

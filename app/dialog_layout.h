#pragma once

#include <QBoxLayout>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QString>
#include <functional>

#include "app/main_window_layout.h"

namespace bivane {

// What the program's dialogs share: they are designed in twips, with the
// window font, and their frames look like those of the main window.

// A dialog with a sizable frame, minimise and maximise buttons; nothing in
// it moves when it is resized.
inline constexpr Qt::WindowFlags kSizableDialog =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
    Qt::WindowCloseButtonHint;

// Names `dialog` (its object name, for finding it) and gives it its caption,
// makes it modal and gives it the window font.
void SetUpDialog(QDialog& dialog, const char* name, const QString& caption);

// Gives the frames of `dialog` the look of the main window's: a thin border
// with the caption standing on its top edge. Once the controls stand in their
// frames: a frame with this look does not hand the window font on to
// controls put into it afterwards.
void DrawFramesLikeTheMainWindow(QDialog& dialog);

// Pixels for `twips` on the screen `widget` stands on.
int DialogPixels(const QWidget& widget, double twips);

// Puts `control` at `rect`, twips within its parent.
void PlaceInTwips(QWidget& control, const TwipRect& rect);

// OK and Cancel (named "cmdOK" and "cmdCancel") at the foot of `layout`:
// OK runs `ok`, Cancel rejects the dialog.
void AddOkCancelButtons(QDialog& dialog, QBoxLayout& layout, std::function<void()> ok);

// A button named `name` on `dialog`, at `rect` twips.
QPushButton* AddButton(QDialog& dialog, const char* name, const QString& caption,
                       const TwipRect& rect);

// A frame named `name` on `dialog`, at `rect` twips.
QGroupBox* AddFrame(QDialog& dialog, const QString& name, const QString& caption,
                    const TwipRect& rect);

}  // namespace bivane

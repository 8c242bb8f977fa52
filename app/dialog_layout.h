#pragma once

#include <QDialog>
#include <QString>

#include "app/main_window_layout.h"

namespace bivane {

// What the program's dialogs share: they are designed in twips, with the
// window font, and their frames look like those of the main window.

// Names `dialog` (its object name, for finding it) and gives it its caption,
// makes it modal, and gives it the window font and the frame look: a thin
// border with the caption standing on its top edge.
void SetUpDialog(QDialog& dialog, const char* name, const QString& caption);

// Pixels for `twips` on the screen `widget` stands on.
int DialogPixels(const QWidget& widget, double twips);

// Puts `control` at `rect`, twips within its parent.
void PlaceInTwips(QWidget& control, const TwipRect& rect);

}  // namespace bivane

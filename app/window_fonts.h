#pragma once

#include <QFont>

#include "app/main_window_layout.h"

namespace bivane {

// The font of a control of the main window: MS Sans Serif where it is
// installed, else a plain sans-serif face, at the sizes of the layout.
QFont ControlFont(LabelFont kind);

}  // namespace bivane

#pragma once

#include <string>

#include "heading/main_window_text.h"

namespace bivane {

// The main-window text model as one JSON object, one label per line:
// "lblLat(3)": {"text": "...", "color": "#RRGGBB", "visible": true}.
// Bytes that are not UTF-8 are written as the characters of the same code.
std::string LabelsJson(const MainWindowText& window);

}  // namespace bivane

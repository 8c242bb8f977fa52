#pragma once

#include <string_view>

#include "heading/local_clock.h"
#include "heading/main_window_text.h"

namespace bivane {

// Writes the main window's error line: the local time "hh:nn:ss", " : " and
// the text. The line keeps its text until the next error replaces it.
void ShowErrorLine(MainWindowText& window, const LocalClock& clock, std::string_view text);

}  // namespace bivane

#include "heading/error_line.h"

namespace bivane {

void ShowErrorLine(MainWindowText& window, const LocalClock& clock, std::string_view text) {
    std::string line = TimeOfDayText(clock.now());
    line += " : ";
    line += text;
    window.lblError.text = std::move(line);
}

}  // namespace bivane

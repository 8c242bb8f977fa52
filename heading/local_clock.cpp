#include "heading/local_clock.h"

#include <cstdio>

namespace bivane {

std::string TimeOfDayText(const LocalTime& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour % 100, time.minute % 100,
                  time.second % 100);
    return text;
}

}  // namespace bivane

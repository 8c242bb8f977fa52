#pragma once

#include <string>

namespace bivane {

// A moment of the local calendar and clock.
struct LocalTime {
    int year = 2000;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
    int hour = 0;   // 0 to 23
    int minute = 0;
    int second = 0;
};

// Where the program reads the local date and time; tests fix it.
class LocalClock {
  public:
    virtual ~LocalClock() = default;
    virtual LocalTime now() const = 0;
};

// "hh:nn:ss" on a 24-hour clock.
std::string TimeOfDayText(const LocalTime& time);

}  // namespace bivane

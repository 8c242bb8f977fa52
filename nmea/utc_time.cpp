#include "nmea/utc_time.h"

namespace bivane {
namespace {

std::optional<int> twoDigits(std::string_view text, std::size_t at) {
    const char high = text[at];
    const char low = text[at + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9') {
        return std::nullopt;
    }
    return (high - '0') * 10 + (low - '0');
}

}  // namespace

std::optional<std::int64_t> TimeOfDayFromNmea(std::string_view field) {
    if (field.size() < 6) {
        return std::nullopt;
    }
    const auto hours = twoDigits(field, 0);
    const auto minutes = twoDigits(field, 2);
    const auto seconds = twoDigits(field, 4);
    if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 59) {
        return std::nullopt;
    }
    std::int64_t ms = ((*hours * 60LL + *minutes) * 60 + *seconds) * 1000;

    // Decimals of the second: the first three are milliseconds, the fourth
    // rounds them, later ones cannot change the result.
    if (field.size() > 6 && field[6] == '.') {
        std::int64_t scale = 100;
        for (std::size_t i = 7; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
            const int digit = field[i] - '0';
            if (scale > 0) {
                ms += digit * scale;
                scale /= 10;
            } else {
                ms += digit >= 5 ? 1 : 0;
                break;
            }
        }
    }
    return ms;
}

std::int64_t TimeDifferenceMs(std::int64_t first, std::int64_t second) {
    std::int64_t difference = (first - second) % kMillisecondsPerDay;
    if (difference > kMillisecondsPerDay / 2) {
        difference -= kMillisecondsPerDay;
    } else if (difference < -kMillisecondsPerDay / 2) {
        difference += kMillisecondsPerDay;
    }
    return difference;
}

}  // namespace bivane

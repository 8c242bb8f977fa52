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

std::optional<std::int64_t> UtcMilliseconds(std::string_view utcTime) {
    if (utcTime.size() < 8 || utcTime[2] != ':' || utcTime[5] != ':') {
        return std::nullopt;
    }
    const auto hours = twoDigits(utcTime, 0);
    const auto minutes = twoDigits(utcTime, 3);
    const auto seconds = twoDigits(utcTime, 6);
    if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 59) {
        return std::nullopt;
    }
    std::int64_t ms = ((*hours * 60LL + *minutes) * 60 + *seconds) * 1000;

    // Decimals of the second: the first three are milliseconds, the fourth
    // rounds them, later ones cannot change the result.
    if (utcTime.size() > 8 && utcTime[8] == '.') {
        std::int64_t scale = 100;
        for (std::size_t i = 9; i < utcTime.size() && utcTime[i] >= '0' && utcTime[i] <= '9'; ++i) {
            const int digit = utcTime[i] - '0';
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

#include "tools/sim/epoch_time.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace bivane::sim {
namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

std::int64_t centisecondOfDay(UtcCentiseconds time) {
    return time - floorDiv(time, kCentisecondsPerDay) * kCentisecondsPerDay;
}

}  // namespace

UtcCentiseconds UtcWholeSecondNow() {
    const auto now = std::chrono::system_clock::now();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(now.time_since_epoch());
    return static_cast<UtcCentiseconds>(seconds.count()) * 100;
}

std::int64_t ToCentiseconds(double seconds) {
    return std::llround(seconds * 100);
}

UtcCentiseconds EpochUtc(UtcCentiseconds start, std::int64_t epoch, double rate) {
    return start + std::llround(static_cast<double>(epoch) * 100 / rate);
}

std::string TimeField(UtcCentiseconds time) {
    const std::int64_t cs = centisecondOfDay(time);
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d.%02d", static_cast<int>(cs / 360000),
                  static_cast<int>(cs / 6000 % 60), static_cast<int>(cs / 100 % 60),
                  static_cast<int>(cs % 100));
    return text;
}

std::string DateField(UtcCentiseconds time) {
    const std::time_t seconds = static_cast<std::time_t>(floorDiv(time, 100));
    std::tm civil{};
    gmtime_r(&seconds, &civil);
    char text[16];
    std::strftime(text, sizeof text, "%d%m%y", &civil);
    return text;
}

std::int64_t MillisecondsApart(UtcCentiseconds first, UtcCentiseconds second) {
    const std::int64_t ahead = centisecondOfDay(first - second);
    return std::min(ahead, kCentisecondsPerDay - ahead) * 10;
}

std::int64_t MillisecondOfDay(UtcCentiseconds time) {
    return centisecondOfDay(time) * 10;
}

std::int64_t ToleranceMilliseconds(double seconds) {
    return std::llround(static_cast<double>(static_cast<float>(seconds)) * 1000);
}

}  // namespace bivane::sim

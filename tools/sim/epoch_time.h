#pragma once

#include <cstdint>
#include <string>

namespace bivane::sim {

// UTC instants of the receivers' fixes, in hundredths of a second since
// 1970-01-01 00:00:00 UTC: the resolution of the time field "hhmmss.ss".
using UtcCentiseconds = std::int64_t;

inline constexpr std::int64_t kCentisecondsPerDay = 8'640'000;

// The system clock now, cut to the whole second.
UtcCentiseconds UtcWholeSecondNow();

// The time of epoch `epoch` when epochs follow each other at `rate` per second
// from `start`, rounded to the hundredth.
UtcCentiseconds EpochUtc(UtcCentiseconds start, std::int64_t epoch, double rate);

// Seconds (may be negative or fractional) as hundredths, rounded.
std::int64_t ToCentiseconds(double seconds);

// The GGA/RMC time field "hhmmss.ss".
std::string TimeField(UtcCentiseconds time);

// The RMC date field "ddmmyy".
std::string DateField(UtcCentiseconds time);

// How far apart the times of day of two fixes are, in milliseconds, taken the
// short way round midnight: 0 to 12 hours. The program compares the times of
// its two fixes so, fractions of the second included.
std::int64_t MillisecondsApart(UtcCentiseconds first, UtcCentiseconds second);

// The time of day in milliseconds, as the program reads a time field.
std::int64_t MillisecondOfDay(UtcCentiseconds time);

// A time tolerance in whole milliseconds, as the program takes it: held in
// single precision, then rounded to the nearest millisecond.
std::int64_t ToleranceMilliseconds(double seconds);

}  // namespace bivane::sim

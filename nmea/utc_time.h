#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace bivane {

inline constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

// The time of day of a GGA sentence's time field ("hhmmss" on a 24-hour
// clock, optionally followed by "." and decimals of the second), in
// milliseconds since midnight. Decimals beyond the third are rounded to the
// nearest millisecond; anything after the decimals is ignored. Nothing when
// the first six characters are no valid time of day ("", "123560").
std::optional<std::int64_t> TimeOfDayFromNmea(std::string_view field);

// first - second, taken the short way round midnight: within +-12 hours.
std::int64_t TimeDifferenceMs(std::int64_t first, std::int64_t second);

}  // namespace bivane

#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace bivane {

inline constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

// The time of day of a fix's UtcTime text ("hh:mm:ss" on a 24-hour clock,
// optionally followed by "." and decimals of the second), in milliseconds
// since midnight. Decimals beyond the third are rounded to the nearest
// millisecond; anything after the decimals is ignored. Nothing when the first
// eight characters are no valid time of day ("::", "12:35:60").
std::optional<std::int64_t> UtcMilliseconds(std::string_view utcTime);

// first - second, taken the short way round midnight: within +-12 hours.
std::int64_t TimeDifferenceMs(std::int64_t first, std::int64_t second);

}  // namespace bivane

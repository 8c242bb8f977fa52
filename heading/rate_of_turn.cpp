#include "heading/rate_of_turn.h"

#include <cmath>

#include "nmea/utc_time.h"

namespace bivane {
namespace {

// Headings further apart than this give no rate.
constexpr std::int64_t kLongestGapMs = 2000;

}  // namespace

std::optional<double> RateOfTurn::add(std::int64_t instantMs, double headingDegrees) {
    const std::optional<std::int64_t> lastMs = m_lastMs;
    const double lastHeading = m_lastHeading;
    m_lastMs = instantMs;
    m_lastHeading = headingDegrees;
    const std::int64_t stepMs = lastMs ? TimeDifferenceMs(instantMs, *lastMs) : 0;
    if (stepMs <= 0 || stepMs > kLongestGapMs) {
        m_rate.reset();
        return std::nullopt;
    }
    // The turn since the last epoch, the short way round: -180 to 180.
    double turn = std::fmod(headingDegrees - lastHeading, 360.0);
    if (turn > 180) {
        turn -= 360;
    } else if (turn <= -180) {
        turn += 360;
    }
    const double seconds = static_cast<double>(stepMs) / 1000;
    const double rate = turn / seconds;
    if (!m_rate || m_timeConstant <= 0) {
        m_rate = rate;
    } else {
        *m_rate += (rate - *m_rate) * (1 - std::exp(-seconds / m_timeConstant));
    }
    return *m_rate * 60;
}

}  // namespace bivane

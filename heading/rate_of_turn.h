#pragma once

#include <cstdint>
#include <optional>

namespace bivane {

// The vessel's rate of turn from the valid headings of successive epochs.
// The heading is unwrapped (the step between two epochs is taken the short
// way round, so crossing north gives no jump) and the rate between epochs is
// smoothed exponentially with a time constant. A valid heading more than
// 2 s after the one before starts afresh: a rate across a gap is no rate.
class RateOfTurn {
  public:
    // Seconds; 0 or less: no smoothing, each epoch's rate as it is.
    void setTimeConstant(double seconds) { m_timeConstant = seconds; }

    // The valid heading (degrees) of the epoch at `instantMs` (ms since
    // midnight UTC). Returns the smoothed rate in degrees per minute,
    // positive turning to starboard; nothing for the first heading after a
    // start or a gap.
    std::optional<double> add(std::int64_t instantMs, double headingDegrees);

  private:
    double m_timeConstant = 2.0;
    std::optional<std::int64_t> m_lastMs;
    double m_lastHeading = 0;
    std::optional<double> m_rate;  // degrees per second
};

}  // namespace bivane

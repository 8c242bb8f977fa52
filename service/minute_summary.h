#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "heading/heading_cycle.h"

namespace bivane {

// What the heading cycles did since the last summary: the service's status
// line once a minute.
class MinuteSummary {
  public:
    // One cycle's outcome; cycles that completed no epoch (the partner fix
    // still to come, a receiver not heard yet) are not counted.
    void count(const CycleReport& report);

    // "last minute: 600 epochs, 598 headings (THS valid 590, not valid 10),
    // last heading 123.4° at 12:00:59.80 UTC, time difference 0.00 s", and the
    // counts start again.
    QString takeLine();

    std::int64_t epochs() const { return m_epochs; }

  private:
    std::int64_t m_epochs = 0;
    std::int64_t m_headings = 0;
    std::int64_t m_valid = 0;
    std::optional<CycleReport> m_lastHeading;
    std::optional<double> m_timeDiffSeconds;
};

}  // namespace bivane

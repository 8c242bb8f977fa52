#pragma once

#include "heading/local_clock.h"

namespace bivane {

// The local date and time of the system.
class SystemClock final : public LocalClock {
  public:
    LocalTime now() const override;
};

}  // namespace bivane

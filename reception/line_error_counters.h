#pragma once

#include <optional>
#include <vector>

namespace bivane {

// The line-error counters a serial driver keeps for a device: how many
// breaks, framing errors, overruns, receive buffer overflows and parity
// errors it has seen since the device was set up.
struct LineErrorCounts {
    int breaks = 0;
    int framing = 0;
    int overruns = 0;
    int bufferOverflows = 0;
    int parity = 0;
};

// The counters of the device open on `descriptor`, or nothing where the
// device keeps none (pseudo-terminals, USB adapters without them, systems
// other than Linux).
std::optional<LineErrorCounts> ReadLineErrorCounts(int descriptor);

// The port event codes of the line conditions whose count changed from
// `before` to `after`, in the order break, framing, overrun, buffer overflow,
// parity. A change, not a rise: the driver's counters wrap around.
std::vector<int> ChangedLineConditions(const LineErrorCounts& before, const LineErrorCounts& after);

}  // namespace bivane

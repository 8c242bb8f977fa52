#include "reception/line_error_counters.h"

#include "reception/serial_port.h"

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace bivane {

std::optional<LineErrorCounts> ReadLineErrorCounts(int descriptor) {
#ifdef __linux__
    serial_icounter_struct counters{};
    if (descriptor < 0 || ::ioctl(descriptor, TIOCGICOUNT, &counters) != 0) {
        return std::nullopt;
    }
    return LineErrorCounts{counters.brk, counters.frame, counters.overrun, counters.buf_overrun,
                           counters.parity};
#else
    static_cast<void>(descriptor);
    return std::nullopt;
#endif
}

std::vector<int> ChangedLineConditions(const LineErrorCounts& before,
                                       const LineErrorCounts& after) {
    std::vector<int> codes;
    const auto changed = [&codes](int previous, int now, int code) {
        if (previous != now) {
            codes.push_back(code);
        }
    };
    changed(before.breaks, after.breaks, kEventBreak);
    changed(before.framing, after.framing, kEventFrame);
    changed(before.overruns, after.overruns, kEventOverrun);
    changed(before.bufferOverflows, after.bufferOverflows, kEventRxOver);
    changed(before.parity, after.parity, kEventParity);
    return codes;
}

}  // namespace bivane

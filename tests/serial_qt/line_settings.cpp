#include "tests/serial_qt/line_settings.h"

// The kernel's own terminal structure, which holds any speed as a number;
// it cannot share a file with the C library's <termios.h>.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace bivane::test_support {

std::string HeldSpeedAndStopBits(int descriptor) {
    termios2 line{};
    if (::ioctl(descriptor, TCGETS2, &line) != 0) {
        return "unreadable";
    }
    return std::to_string(line.c_ospeed) + "," + ((line.c_cflag & CSTOPB) != 0 ? "2" : "1");
}

}  // namespace bivane::test_support

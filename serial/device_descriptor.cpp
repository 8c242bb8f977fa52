#include "serial/device_descriptor.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace bivane {

#ifdef Q_OS_UNIX

namespace {

// What poll() reports of `descriptor` for `events` without waiting; 0 when
// nothing is ready.
short readyNow(int descriptor, short events) {
    pollfd request{descriptor, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&request, 1, 0);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 ? request.revents : 0;
}

}  // namespace

bool DeviceAcceptsOutput(int descriptor) {
    return descriptor < 0 || (readyNow(descriptor, POLLOUT) & (POLLOUT | POLLERR | POLLHUP)) != 0;
}

std::optional<std::size_t> WriteNow(int descriptor, std::string_view text) {
    for (;;) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written >= 0) {
            return static_cast<std::size_t>(written);
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

bool DeviceHasInput(int descriptor) {
    if (descriptor < 0) {
        return false;
    }
    // A line that hung up reads as ready too, but brings nothing to handle.
    const short ready = readyNow(descriptor, POLLIN);
    return (ready & POLLIN) != 0 && (ready & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

std::int64_t DriverOutputQueue(int descriptor) {
    int waiting = 0;
    if (descriptor < 0 || ::ioctl(descriptor, TIOCOUTQ, &waiting) != 0 || waiting < 0) {
        return 0;
    }
    return waiting;
}

bool LockDeviceExclusively(int descriptor) {
    if (descriptor < 0) {
        return true;
    }
    int result = 0;
    do {
        result = ::flock(descriptor, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    // Only a lock held elsewhere refuses the device; a file system without
    // advisory locks does not.
    return result == 0 || errno != EWOULDBLOCK;
}

bool MayReadAndWrite(const QString& device) {
    const QByteArray path = QFile::encodeName(device);
    return ::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) == 0;
}

#else

bool DeviceAcceptsOutput(int) {
    return true;
}
bool DeviceHasInput(int) {
    return false;
}
std::optional<std::size_t> WriteNow(int, std::string_view) {
    return 0;
}
std::int64_t DriverOutputQueue(int) {
    return 0;
}
bool LockDeviceExclusively(int) {
    return true;
}
bool MayReadAndWrite(const QString&) {
    return true;
}

#endif

}  // namespace bivane
